#include "app/skin_loader.h"

#include "app/dib_format.h"

#include <optional>
#include <vector>

namespace {

bool Fail(StartupMessages& messages, const wchar_t* text) {
    messages.Show(text, kMessageCaption);
    return false;
}

void PaintAsBlock(HDC dc, const SkinPixels& pixels) {
    // Rows from the top, as decoded.
    const BITMAPINFO info = TopDown32BitFormat(pixels.width, pixels.height);
    std::vector<uint32_t> rows(pixels.colours.size());
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = SwapRedAndBlue(pixels.colours[i]);
    SetDIBitsToDevice(dc, 0, 0, DWORD(pixels.width), DWORD(pixels.height), 0, 0, 0,
                      UINT(pixels.height), rows.data(), &info, DIB_RGB_COLORS);
}

void PaintPixelByPixel(HDC dc, const SkinPixels& pixels) {
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) SetPixel(dc, x, y, pixels.At(x, y));
}

}  // namespace

void PaintSkinPixels(HDC dc, const SkinPixels& pixels, SkinPainting painting) {
    if (painting == SkinPainting::kPixelByPixel)
        PaintPixelByPixel(dc, pixels);
    else
        PaintAsBlock(dc, pixels);
}

bool LoadSkin(HMODULE module, HWND window, const wchar_t* type, int number, int width, int height,
              int steps, StartupMessages& messages, SkinImage& out, SkinPainting painting) {
    out = SkinImage{};
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
    if (bitmap == nullptr || memoryDc == nullptr) {
        // A picture that cannot be drawn is not reported as loaded.
        if (memoryDc != nullptr) DeleteDC(memoryDc);
        if (bitmap != nullptr) DeleteObject(bitmap);
        return Fail(messages, kSkinUnreadableText);
    }
    out.dc = memoryDc;
    out.bitmap = bitmap;
    out.previous = SelectObject(memoryDc, bitmap);
    PaintSkinPixels(memoryDc, *pixels, painting);
    return true;
}

void ReleaseSkin(SkinImage& skin) {
    if (skin.dc != nullptr) {
        if (skin.previous != nullptr) SelectObject(skin.dc, skin.previous);
        DeleteDC(skin.dc);
    }
    if (skin.bitmap != nullptr) DeleteObject(skin.bitmap);
    skin = SkinImage{};
}
