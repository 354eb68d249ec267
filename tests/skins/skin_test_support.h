// What the Windows skin tests share: a window to load against, and reading a loaded picture's
// pixels back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "shell/app/skin_loader.h"
#include "shell/panel/dib_format.h"
#include "tests/support/recording_messages.h"

// A hidden top-level window standing in for the main window.
class TestWindow {
  public:
    TestWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"skin test", WS_POPUP, 0, 0, 500, 500, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~TestWindow() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }

  private:
    HWND window_;
};

// The bitmap's pixels as 0x00BBGGRR colours, rows from the top, copied out through a bitmap
// whose bits can be read directly.
inline std::vector<uint32_t> ReadSkinPixels(const SkinImage& skin) {
    BITMAP size = {};
    GetObjectW(GetCurrentObject(skin.dc(), OBJ_BITMAP), sizeof(size), &size);
    const BITMAPINFO info = TopDown32BitFormat(size.bmWidth, size.bmHeight);
    void* bits = nullptr;
    const HBITMAP copy = CreateDIBSection(skin.dc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC dc = CreateCompatibleDC(skin.dc());
    const HGDIOBJ previous = SelectObject(dc, copy);
    BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, skin.dc(), 0, 0, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> pixels(first, first + size_t(size.bmWidth) * size_t(size.bmHeight));
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(copy);
    for (uint32_t& pixel : pixels) pixel = SwapRedAndBlue(pixel);
    return pixels;
}
