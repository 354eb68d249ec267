// The help overlay on the real main window: placement, translucency, the picture, and which
// input closes it. A second thread watches and drives the overlay while the GUI thread runs its
// modal loop.
#include "shell/panel/help_popup.h"

#include <windows.h>

#include <functional>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/panel/control_ids.h"
#include "core/panel/picker_rules.h"
#include "shell/panel/dib_format.h"
#include "shell/panel/gdi_checks.h"
#include "shell/panel/gdi_objects.h"
#include "shell/panel/program_state.h"
#include "tests/picker/panel_host.h"

namespace {

ProgramState& program = Program();
PanelState& panelState = program.panelState;

using Picture = std::vector<COLORREF>;

constexpr COLORREF kFrameGrey = RGB(32, 32, 32);

struct Observation {
    bool appeared = false;
    HWND owner = nullptr;
    RECT rect = {};
    RECT mainRect = {};
    bool mainDisabled = false;
    LONG exStyle = 0;
    BOOL gotAttributes = FALSE;
    BYTE alpha = 0;
    DWORD attributeFlags = 0;
    Picture picture;
    int width = 0;
    bool openAfterEnter = false;
    bool openAfterOtherKey = false;
    bool closed = false;
};

BOOL CALLBACK FindOverlay(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (IsWindowVisible(window) && lstrcmpW(className, L"#32770") == 0 &&
        GetWindow(window, GW_OWNER) == program.mainWindow) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForOverlay() {
    const DWORD thread = GetWindowThreadProcessId(program.mainWindow, nullptr);
    for (int i = 0; i < 500; ++i) {
        HWND found = nullptr;
        EnumThreadWindows(thread, FindOverlay, reinterpret_cast<LPARAM>(&found));
        if (found) return found;
        Sleep(10);
    }
    return nullptr;
}

Picture Capture(HWND window, int width, int height) {
    const HDC windowDc = GetDC(window);
    const HDC memory = CreateCompatibleDC(windowDc);
    const HBITMAP bitmap = CreateCompatibleBitmap(windowDc, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO format = TopDown32BitFormat(width, height);
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &format, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    Picture picture(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        // 0x00RRGGBB in the bitmap, 0x00BBGGRR as a colour value.
        picture[i] = RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF);
    }
    return picture;
}

// The overlay's picture once it has stopped changing.
Picture SettledPicture(HWND window, int width, int height) {
    Picture last = Capture(window, width, height);
    for (int i = 0; i < 50; ++i) {
        Sleep(50);
        Picture next = Capture(window, width, height);
        if (next == last) return next;
        last = std::move(next);
    }
    return last;
}

void PostKey(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

bool StaysOpen(HWND window) {
    Sleep(300);
    return IsWindow(window) && IsWindowVisible(window);
}

// Opens the overlay with the help button and lets `close` end it from the watching thread.
Observation OpenOverlay(const std::function<void(HWND)>& close) {
    Observation seen;
    std::thread watcher([&] {
        const HWND overlay = WaitForOverlay();
        if (!overlay) return;
        seen.appeared = true;
        seen.owner = GetWindow(overlay, GW_OWNER);
        GetWindowRect(overlay, &seen.rect);
        GetWindowRect(program.mainWindow, &seen.mainRect);
        seen.mainDisabled = !IsWindowEnabled(program.mainWindow);
        seen.exStyle = GetWindowLongW(overlay, GWL_EXSTYLE);
        COLORREF key = 0;
        seen.gotAttributes =
            GetLayeredWindowAttributes(overlay, &key, &seen.alpha, &seen.attributeFlags);
        seen.width = seen.rect.right - seen.rect.left;
        seen.picture = SettledPicture(overlay, seen.width, seen.rect.bottom - seen.rect.top);
        PostKey(overlay, VK_RETURN);
        seen.openAfterEnter = StaysOpen(overlay);
        PostKey(overlay, 'A');
        seen.openAfterOtherKey = StaysOpen(overlay);
        close(overlay);
        for (int i = 0; i < 300 && IsWindow(overlay); ++i) Sleep(10);
        seen.closed = !IsWindow(overlay);
        if (!seen.closed) PostMessageW(overlay, WM_CLOSE, 0, 0);  // never leave the loop hanging
    });
    SendMessageW(program.mainWindow, WM_COMMAND, MAKEWPARAM(kHelpButtonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(program.mainWindow, kHelpButtonId)));
    watcher.join();
    return seen;
}

COLORREF PixelAt(const Observation& seen, Point at) {
    return seen.picture[static_cast<size_t>(at.y) * seen.width + at.x];
}

int LitPixelsNear(const Observation& seen, Point at, int width, int height) {
    int lit = 0;
    for (int y = at.y; y < at.y + height; ++y) {
        for (int x = at.x; x < at.x + width; ++x) {
            if (PixelAt(seen, {x, y}) == RGB(255, 255, 255)) ++lit;
        }
    }
    return lit;
}

TEST(HelpPopup, OpensOverTheWindowDrawsTheSamePictureAndClosesOnAClickEscOrCloseOnly) {
    ASSERT_TRUE(EnsurePanelWindow());
    const long failures = GdiReleaseFailures();
    struct Case {
        const char* name;
        std::function<void(HWND)> close;
    };
    const Case cases[] = {
        {"Esc", [](HWND overlay) { PostKey(overlay, VK_ESCAPE); }},
        {"left click",
         [](HWND overlay) {
             PostMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 100));
         }},
        {"left click on a label",
         [](HWND overlay) {
             PostMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(36, 132));
         }},
        {"close", [](HWND overlay) { PostMessageW(overlay, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    std::vector<Observation> openings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Observation seen = OpenOverlay(c.close);
        ASSERT_TRUE(seen.appeared);
        // Over the main window, translucent, owned by it and keeping it disabled meanwhile.
        EXPECT_EQ(seen.owner, program.mainWindow);
        EXPECT_TRUE(seen.mainDisabled);
        EXPECT_EQ(seen.rect.left, seen.mainRect.left + 8);
        EXPECT_EQ(seen.rect.top, seen.mainRect.top);
        EXPECT_EQ(seen.rect.right - seen.rect.left, seen.mainRect.right - seen.mainRect.left - 16);
        EXPECT_EQ(seen.rect.bottom - seen.rect.top, seen.mainRect.bottom - seen.mainRect.top - 8);
        EXPECT_TRUE(seen.exStyle & WS_EX_LAYERED);
        ASSERT_TRUE(seen.gotAttributes);
        EXPECT_EQ(seen.alpha, 192);
        EXPECT_EQ(seen.attributeFlags, static_cast<DWORD>(LWA_ALPHA));
        EXPECT_TRUE(seen.openAfterEnter);
        EXPECT_TRUE(seen.openAfterOtherKey);
        EXPECT_TRUE(seen.closed);
        EXPECT_TRUE(IsWindowEnabled(program.mainWindow));
        EXPECT_TRUE(openings.empty() || seen.picture == openings[0].picture)
            << "each opening draws the same picture";
        openings.push_back(seen);
    }
    EXPECT_EQ(GdiReleaseFailures(), failures);

    const Observation& first = openings[0];
    EXPECT_EQ(PixelAt(first, {2, 2}), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(first, {250, 370}), RGB(0, 0, 0));
    // Each frame is 4 pixels wide inside its rectangle.
    const Box frames[] = {{10, 25, 96, 350}, {97, 25, 405, 350}, {405, 235, 465, 285}};
    for (const Box& frame : frames) {
        const int middleY = (frame.top + frame.bottom) / 2;
        const int middleX = (frame.left + frame.right) / 2;
        EXPECT_EQ(PixelAt(first, {frame.left + 1, middleY}), kFrameGrey);
        EXPECT_EQ(PixelAt(first, {frame.right - 2, middleY}), kFrameGrey);
        EXPECT_EQ(PixelAt(first, {middleX, frame.top + 3}), kFrameGrey);
        EXPECT_EQ(PixelAt(first, {middleX, frame.bottom - 4}), kFrameGrey);
        EXPECT_NE(PixelAt(first, {frame.left + 5, middleY}), kFrameGrey);
    }
    const Point systemFontTexts[] = {{34, 130}, {34, 150}, {34, 170}, {34, 190},
                                     {34, 210}, {73, 55},  {73, 305}, {350, 55}};
    for (const Point& text : systemFontTexts) {
        EXPECT_GT(LitPixelsNear(first, text, 16, 16), 4) << text.x << "," << text.y;
    }
    const Point labelFontTexts[] = {{414, 247}, {414, 267}, {24, 383}, {24, 407}, {130, 407}};
    for (const Point& text : labelFontTexts) {
        EXPECT_GT(LitPixelsNear(first, text, 22, 12), 4) << text.x << "," << text.y;
    }
}

TEST(HelpPopupTranslucency, WithoutTheLayeredFunctionTheOverlayStaysAnOrdinaryWindow) {
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    MakeOverlayTranslucent(window, nullptr);
    EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
    MakeOverlayTranslucent(window, SetLayeredWindowAttributes);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
    DestroyWindow(window);
}

}  // namespace
