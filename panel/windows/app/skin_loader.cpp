#include "panel/windows/app/skin_loader.h"

#include <optional>
#include <vector>

#include "core/skins/skin_decoder.h"
#include "panel/windows/gdi/dib_format.h"

namespace {

bool Fail(StartupMessages& messages, const wchar_t* text) {
    messages.Show(text, kMessageCaption);
    return false;
}

// The decoded picture, rows from the top, as one block onto the context: many times faster than
// a call per pixel, with the same pixels.
void PaintAsBlock(HDC dc, const SkinPixels& pixels) {
    const BITMAPINFO info = TopDown32BitFormat(pixels.width, pixels.height);
    std::vector<uint32_t> rows(pixels.colours.size());
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = SwapRedAndBlue(pixels.colours[i]);
    SetDIBitsToDevice(dc, 0, 0, DWORD(pixels.width), DWORD(pixels.height), 0, 0, 0,
                      UINT(pixels.height), rows.data(), &info, DIB_RGB_COLORS);
}

}  // namespace

bool LoadSkin(HMODULE module, HWND window, const wchar_t* type, int number, int width, int height,
              int steps, StartupMessages& messages, SkinImage& out) {
    out = SkinImage();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(number), type);
    if (found == nullptr) return Fail(messages, kSkinNotFoundText);

    HGLOBAL loaded = LoadResource(module, found);
    const void* stored = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (stored == nullptr) return Fail(messages, kSkinUnreadableText);
    const std::optional<SkinPixels> pixels = DecodeSkin(
        static_cast<const uint8_t*>(stored), SizeofResource(module, found), width, height, steps);
    if (!pixels) return Fail(messages, kSkinUnreadableText);

    HDC windowDc = GetDC(window);
    if (windowDc == nullptr) return Fail(messages, kSkinUnreadableText);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, width, height);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    ReleaseDC(window, windowDc);
    SkinImage skin(memoryDc, bitmap);
    // A picture that cannot be drawn is not reported as loaded; what was made goes again.
    if (!skin.Valid()) return Fail(messages, kSkinUnreadableText);
    PaintAsBlock(skin.dc(), *pixels);
    out = std::move(skin);
    return true;
}
