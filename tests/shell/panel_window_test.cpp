// The real main window in this process, set up as the program sets it up (the simulated driver
// is the system's driver module), on the checked build of the drawing-object wrappers: paints
// and help overlays that release everything, even far past Wine's object table, paints that stop
// when nothing changes, and the wrappers themselves.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <thread>

#include "core/panel/control_ids.h"
#include "core/panel/picker_rules.h"
#include "shell/app/setup_application.h"
#include "shell/panel/gdi_checks.h"
#include "shell/panel/gdi_objects.h"
#include "shell/panel/help_popup.h"
#include "shell/panel/picker.h"
#include "shell/panel/program_state.h"
#include "tests/support/message_pump.h"
#include "tests/support/recording_messages.h"

namespace {

ProgramState& program = Program();
PanelState& panelState = program.panelState;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Registers the class and runs the program's start-up once; false if start-up failed.
bool EnsurePanelWindow() {
    static const bool ready = [] {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterMainWindowClass(instance);
        RecordingMessages messages;
        const bool started = SetUpApplication(instance, SW_SHOWNORMAL, messages);
        return PumpUntilIdle() && started && messages.shown.empty();
    }();
    return ready;
}

// A pointer message at a client point, as the window system delivers it: the real cursor moves
// there, then the window is asked for the cursor shape and gets the message.
void Pointer(UINT message, Point at) {
    POINT screen = {at.x, at.y};
    ClientToScreen(program.mainWindow, &screen);
    SetCursorPos(screen.x, screen.y);
    PumpUntilIdle();  // the move as the window system reports it
    const WPARAM window = reinterpret_cast<WPARAM>(program.mainWindow);
    SendMessageW(program.mainWindow, WM_SETCURSOR, window, MAKELPARAM(HTCLIENT, message));
    SendMessageW(program.mainWindow, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(at.x, at.y));
}

// The help overlay, a dialog owned by the main window, once it shows.
HWND ShownOverlay() {
    for (int i = 0; i < 500; ++i, Sleep(10)) {
        HWND overlay = nullptr;
        while ((overlay = FindWindowExW(nullptr, overlay, L"#32770", nullptr)) != nullptr) {
            if (GetWindow(overlay, GW_OWNER) == program.mainWindow && IsWindowVisible(overlay)) {
                return overlay;
            }
        }
    }
    return nullptr;
}

COLORREF ClientPixel(Point client) {
    const HDC dc = GetDC(program.mainWindow);
    const COLORREF pixel = GetPixel(dc, client.x, client.y);
    ReleaseDC(program.mainWindow, dc);
    return pixel;
}

TEST(PanelWindow, PaintingOutlastsTheDrawingObjectTableAndStillDrawsEverything) {
    ASSERT_TRUE(EnsurePanelWindow());
    // Each paint makes five surfaces with their bitmaps and five brushes: 15 objects, 75,000 in
    // all. Wine's table holds about 65,000, so paints that lost objects would stop drawing.
    Pointer(WM_LBUTTONDOWN, {330, 200});  // picking: every paint samples as well
    const long failures = GdiReleaseFailures();
    const unsigned long paints = PaintSessionCount();
    for (int i = 0; i < 5000; ++i) RepaintPicker(program.mainWindow);
    EXPECT_EQ(PaintSessionCount() - paints, 5000u);
    Pointer(WM_LBUTTONUP, {330, 200});
    ASSERT_TRUE(PumpUntilIdle());

    const Colour base = {panelState.red, panelState.green, panelState.blue};
    ASSERT_NE(ColourValue(base), kWhite);
    const HWND slider = GetDlgItem(program.mainWindow, kShadeSliderId);
    SendMessageW(slider, TBM_SETPOS, TRUE, 75);
    SendMessageW(program.mainWindow, WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 75),
                 reinterpret_cast<LPARAM>(slider));
    EXPECT_EQ(ClientPixel({80, 150}), ColourValue(ShadeColour(base, 75)));  // the swatch
    for (const Box& bar : MarkerBars({330, 200})) {
        EXPECT_EQ(ClientPixel({bar.left, bar.top}), RGB(0, 0, 0));
    }
    EXPECT_EQ(ClientPixel({100 + 20, 10 + 150}), GetPixel(program.skin1.dc(), 20, 150));
    EXPECT_EQ(ClientPixel({381 + 40, 363 + 20}), GetPixel(program.skin2.dc(), 40, 20));
    for (int top : kLabelTops) {
        int ink = 0;
        for (int y = top; y < top + 12; ++y) {
            for (int x = kLabelLeft; x < kLabelLeft + kLabelWidth; ++x) {
                ink += ClientPixel({x, y}) != kWhite;
            }
        }
        EXPECT_GT(ink, 5) << "label at " << top;
    }
    EXPECT_EQ(GdiReleaseFailures(), failures);
    EXPECT_EQ(NestedPaintSessionCount(), 0u);
}

TEST(PanelWindow, PaintsStopWhileThePointerRestsAfterARelease) {
    ASSERT_TRUE(EnsurePanelWindow());
    Pointer(WM_LBUTTONDOWN, {300, 160});
    unsigned long before = PaintSessionCount();
    SendMessageW(program.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(300, 160));
    ASSERT_EQ(panelState.pointerState, PointerState::Released);
    EXPECT_GT(PaintSessionCount(), before);  // the marker is redrawn where it stays

    // Every message in Released asks for a repaint, the paint message included: that request
    // is covered by the paint it came with.
    ASSERT_TRUE(PumpUntilIdle());
    before = PaintSessionCount();
    RedrawWindow(program.mainWindow, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(PaintSessionCount() - before, 1u);
    before = PaintSessionCount();
    SendMessageW(program.mainWindow, WM_NULL, 0, 0);
    EXPECT_EQ(PaintSessionCount() - before, 1u);
    InvalidateRect(program.mainWindow, nullptr, FALSE);
    ASSERT_TRUE(PumpUntilIdle()) << "paint requests never ran out";
    ASSERT_EQ(panelState.pointerState, PointerState::Released);
    before = PaintSessionCount();
    for (int i = 0; i < 5; ++i) {
        Sleep(20);
        ASSERT_TRUE(PumpUntilIdle());
    }
    EXPECT_EQ(PaintSessionCount(), before);
    EXPECT_EQ(NestedPaintSessionCount(), 0u);
}

// The overlay's own paints release everything; it is translucent where the layered-window
// function exists and an ordinary window where it does not.
TEST(PanelWindow, HelpOverlayIsTranslucentAndReleasesWhatItsPaintsMake) {
    ASSERT_TRUE(EnsurePanelWindow());
    const long failures = GdiReleaseFailures();
    for (int opening = 0; opening < 3; ++opening) {
        BYTE alpha = 0;
        DWORD flags = 0, style = 0;
        std::thread watcher([&] {
            const HWND overlay = ShownOverlay();
            style = GetWindowLongW(overlay, GWL_EXSTYLE);
            GetLayeredWindowAttributes(overlay, nullptr, &alpha, &flags);
            RedrawWindow(overlay, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            PostMessageW(overlay, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        SendMessageW(program.mainWindow, WM_COMMAND, MAKEWPARAM(kHelpButtonId, BN_CLICKED), 0);
        watcher.join();
        EXPECT_TRUE(style & WS_EX_LAYERED);
        EXPECT_EQ(alpha, 192);
        EXPECT_EQ(flags, DWORD(LWA_ALPHA));
    }
    EXPECT_EQ(GdiReleaseFailures(), failures);
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr,
                                        nullptr, nullptr);
    MakeOverlayTranslucent(window, nullptr);
    EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
    DestroyWindow(window);
}

TEST(GdiObjects, WrappersLeaveNothingBehindAndARefusedDeleteIsReported) {
    const long failures = GdiReleaseFailures();
    const HDC screen = GetDC(nullptr);
    HDC surfaceDc = nullptr;
    HGDIOBJ surfaceBitmap = nullptr;
    HBRUSH brushHandle = nullptr;
    {
        MemorySurface surface(screen, 40, 30, WHITENESS);
        surfaceDc = surface.dc();
        surfaceBitmap = GetCurrentObject(surfaceDc, OBJ_BITMAP);
        EXPECT_EQ(GetPixel(surfaceDc, 39, 29), kWhite);
        OwnedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
        brushHandle = brush.get();
        const HGDIOBJ defaultBrush = GetCurrentObject(surfaceDc, OBJ_BRUSH);
        {
            ScopedSelection selected(surfaceDc, brush.get());
            EXPECT_EQ(GetCurrentObject(surfaceDc, OBJ_BRUSH), brush.get());
        }
        EXPECT_EQ(GetCurrentObject(surfaceDc, OBJ_BRUSH), defaultBrush);
    }
    for (HGDIOBJ gone : {static_cast<HGDIOBJ>(surfaceDc), surfaceBitmap, HGDIOBJ(brushHandle)}) {
        EXPECT_EQ(GetObjectType(gone), 0u);
    }
    EXPECT_EQ(GdiReleaseFailures(), failures);

    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    ReleaseGdiObject(bitmap);  // Windows refuses this and the bitmap leaks
    EXPECT_EQ(GdiReleaseFailures(), failures + 1);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
}

}  // namespace
