// What the Windows skin tests share: recorded messages, a window to load against, and reading a
// loaded picture's pixels back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/dib_format.h"
#include "app/skin_loader.h"
#include "app/startup_messages.h"

struct ShownMessage {
    std::wstring text;
    std::wstring caption;
    bool operator==(const ShownMessage& other) const {
        return text == other.text && caption == other.caption;
    }
};

class RecordingMessages : public StartupMessages {
  public:
    void Show(const wchar_t* text, const wchar_t* caption) override {
        shown.push_back({text, caption});
    }
    std::vector<ShownMessage> shown;
};

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

// The bitmap's pixels as 0x00BBGGRR colours, rows from the top.
inline std::vector<uint32_t> ReadSkinPixels(const SkinImage& skin) {
    BITMAP size = {};
    GetObjectW(skin.bitmap, sizeof(size), &size);
    BITMAPINFO info = TopDown32BitFormat(size.bmWidth, size.bmHeight);
    std::vector<uint32_t> pixels(size_t(size.bmWidth) * size_t(size.bmHeight));
    // The bitmap is read while out of its context, as GetDIBits asks.
    SelectObject(skin.dc, skin.previous);
    GetDIBits(skin.dc, skin.bitmap, 0, UINT(size.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
    SelectObject(skin.dc, skin.bitmap);
    for (uint32_t& pixel : pixels) pixel = SwapRedAndBlue(pixel);
    return pixels;
}
