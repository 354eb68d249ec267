// Loads a stored picture from the program's resources into a memory drawing context that holds
// a bitmap of the picture's fixed size, compatible with the main window.
#pragma once

#include <windows.h>

#include "app/skin_decoder.h"
#include "app/startup_messages.h"

constexpr const wchar_t* kSkinNotFoundText = L"リソースが見つかりません";
constexpr const wchar_t* kSkinUnreadableText = L"リソースを読み込めません";

struct SkinImage {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;  // what the context held before the bitmap; put back on release
};

// How the decoded pixels reach the bitmap. Both give the same pixels; one block transfer is
// many times faster than a call per pixel.
enum class SkinPainting {
    kWholeBlock,    // one device-independent block onto the context
    kPixelByPixel,  // SetPixel for each pixel
};

// Finds resource `number` of `type` in `module`, unscrambles it over `steps` 4-byte steps and
// paints it into a width x height bitmap. On failure shows "リソースが見つかりません" (no such
// resource) or "リソースを読み込めません" (it cannot be loaded, decoded or drawn) with the
// program's caption, leaves `out` empty and returns false.
bool LoadSkin(HMODULE module, HWND window, const wchar_t* type, int number, int width, int height,
              int steps, StartupMessages& messages, SkinImage& out,
              SkinPainting painting = SkinPainting::kWholeBlock);

// Selects the saved object back, deletes the context, then the bitmap; leaves `skin` empty.
void ReleaseSkin(SkinImage& skin);

// Paints decoded pixels into a context whose bitmap is at least as large.
void PaintSkinPixels(HDC dc, const SkinPixels& pixels, SkinPainting painting);
