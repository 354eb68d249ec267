// The real main window in this process, set up as the program sets it up (the simulated driver
// is the system's driver module), on the checked build of the drawing-object wrappers: paints
// and help overlays that release everything, even far past Wine's object table, paints that stop
// when nothing changes, and the wrappers themselves.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/rules/control_ids.h"
#include "core/rules/picker_rules.h"
#include "panel/windows/app/setup_application.h"
#include "panel/windows/gdi/gdi_checks.h"
#include "panel/windows/gdi/gdi_objects.h"
#include "panel/windows/help/help_popup.h"
#include "panel/windows/window/picker.h"
#include "panel/windows/state/program_state.h"
#include "tests/support/in_process/message_pump.h"
#include "tests/support/in_process/recording_messages.h"

namespace {

ProgramState& program = Program();
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr Point kCentre = {kDiscCentreX, kDiscCentreY};

// Registers the class and runs the program's start-up once; false if start-up failed.
bool EnsurePanelWindow() {
    static const bool ready = [] {
        RegisterMainWindowClass(GetModuleHandleW(nullptr));
        RecordingMessages messages;
        const bool started = SetUpApplication(GetModuleHandleW(nullptr), SW_SHOW, messages);
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
    SendMessageW(program.mainWindow, WM_SETCURSOR, WPARAM(program.mainWindow),
                 MAKELPARAM(HTCLIENT, message));
    SendMessageW(program.mainWindow, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(at.x, at.y));
}

COLORREF ClientPixel(Point at) {
    const HDC dc = GetDC(program.mainWindow);
    const COLORREF pixel = GetPixel(dc, at.x, at.y);
    ReleaseDC(program.mainWindow, dc);
    return pixel;
}

bool MarkerAt(Point centre) {
    for (const Box& bar : MarkerBars(centre)) {
        if (ClientPixel({bar.left, bar.top}) || ClientPixel({bar.right - 1, bar.bottom - 1})) {
            return false;
        }
    }
    return true;
}

std::wstring Text(HWND window) {
    wchar_t text[16] = {};
    GetWindowTextW(window, text, 16);
    return text;
}

// The shade slider moved, as its own messages tell the window; and an edit typed into.
void Slide(int position) {
    Sleep(25);  // past the edits' refresh interval
    const HWND slider = GetDlgItem(program.mainWindow, kShadeSliderId);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    SendMessageW(program.mainWindow, WM_VSCROLL, TB_THUMBPOSITION, LPARAM(slider));
}

void Type(HWND edit, const wchar_t* text) {
    SetFocus(edit);
    SetWindowTextW(edit, text);
    SetFocus(program.mainWindow);  // no edit reads back what the picker writes into it
}

// Paints keep their surface and draw with stock brushes. Had each paint made and lost even its
// old 15 objects (75,000 in all), Wine's table of about 65,000 would run out and the paints would
// stop drawing.
// Afterwards the window still draws the skins, the labels and every pick: a press inside the hit
// radius picks the colour under the real cursor, one outside picks nothing even when dragged
// inside, a drag out of the disc picks on the rim; the marker and the swatch show the pick,
// Reset, the slider and typed colours change what they show.
TEST(PanelWindow, PaintingOutlastsTheDrawingObjectTableAndStillShowsEveryPick) {
    ASSERT_TRUE(EnsurePanelWindow());
    SetFocus(program.mainWindow);
    const long failures = GdiReleaseFailures();
    Pointer(WM_LBUTTONDOWN, {330, 200});  // picking: every paint samples as well
    const unsigned long paints = PaintSessionCount();
    for (int i = 0; i < 5000; ++i) RepaintPicker(program.mainWindow);
    EXPECT_EQ(PaintSessionCount() - paints, 5000u);
    Pointer(WM_LBUTTONUP, {330, 200});
    EXPECT_EQ(ClientPixel({100 + 20, 10 + 150}), GetPixel(program.skin1.dc(), 20, 150));
    EXPECT_EQ(ClientPixel({381 + 40, 363 + 20}), GetPixel(program.skin2.dc(), 40, 20));
    for (int top : kLabelTops) {  // the labels "R: ", "G: " and "B: " have ink
        int ink = 0;
        for (int i = 0; i < 12 * kLabelWidth; ++i) {
            ink += ClientPixel({kLabelLeft + i % kLabelWidth, top + i / kLabelWidth}) != kWhite;
        }
        EXPECT_GT(ink, 5) << "label at " << top;
    }

    const auto reset = [] { SendMessageW(program.mainWindow, WM_COMMAND, kResetButtonId, 0); };
    const struct {
        Point press, drag;
        Point picked;  // where the marker ends; the centre: nothing picked
    } picks[] = {
        {{397, 160}, {397, 160}, {397, 160}}, {{398, 160}, {300, 160}, kCentre},
        {{354, 265}, {354, 265}, {354, 265}}, {{355, 265}, {300, 160}, kCentre},
        {{300, 160}, {450, 160}, {397, 160}},
    };
    for (const auto& c : picks) {
        reset();
        const COLORREF expected = ClientPixel(c.picked);
        Pointer(WM_LBUTTONDOWN, c.press);
        Pointer(WM_MOUSEMOVE, c.drag);
        for (int step = 0; step < 3; ++step) {  // held; released; the pointer moved on, button up
            if (step == 1) Pointer(WM_LBUTTONUP, c.drag);
            if (step == 2) Pointer(WM_MOUSEMOVE, {200, 250});
            EXPECT_EQ(ClientPixel({80, 150}), expected) << c.press.x << "," << c.press.y;
            EXPECT_TRUE(MarkerAt(c.picked)) << c.press.x << "," << c.press.y << " " << step;
        }
    }
    // After a pick on the rim, Reset puts the marker back at the centre, leaving nothing of it
    // beside the disc: a colour typed afterwards draws it there.
    reset();
    Type(program.redEdit, L"0");
    EXPECT_TRUE(MarkerAt(kCentre) && !MarkerAt({397, 160}));
    EXPECT_EQ(ClientPixel({402, 160}), kWhite);
    EXPECT_EQ(ClientPixel({403, 153}), kWhite);
    EXPECT_EQ(ClientPixel({80, 150}), RGB(0, 255, 255));

    // The swatch (inside its black outline) and the edits follow the slider; the base colour
    // stays.
    Pointer(WM_LBUTTONDOWN, {330, 200});
    Pointer(WM_LBUTTONUP, {330, 200});
    const COLORREF base = ClientPixel({80, 150});
    Slide(50);  // the slider's first move only starts the refresh clock
    for (int shade : {0, 100, 50, 25, 75}) {
        Slide(shade);
        const Colour shaded =
            ShadeColour({GetRValue(base), GetGValue(base), GetBValue(base)}, shade);
        const COLORREF value = ColourValue(shaded);
        const Box& box = kSwatchBox;
        EXPECT_EQ(
            std::vector<COLORREF>({ClientPixel({80, 150}), ClientPixel({box.left + 1, box.top + 1}),
                                   ClientPixel({box.right - 2, box.bottom - 2}),
                                   ClientPixel({box.left, box.top}),
                                   ClientPixel({box.right - 1, box.bottom - 1}),
                                   ClientPixel({box.right, box.top + 5})}),
            std::vector<COLORREF>({value, value, value, 0, 0, kWhite}))
            << shade;
        EXPECT_EQ(
            Text(program.redEdit) + L"," + Text(program.greenEdit) + L"," + Text(program.blueEdit),
            std::to_wstring(shaded.red) + L"," + std::to_wstring(shaded.green) + L"," +
                std::to_wstring(shaded.blue));
    }
    Slide(50);

    // White typed into the edits draws the marker at the centre without moving it: any other
    // colour draws it where the pick left it.
    for (HWND edit : {program.redEdit, program.greenEdit, program.blueEdit}) Type(edit, L"255");
    EXPECT_TRUE(MarkerAt(kCentre) && !MarkerAt({330, 200}));
    EXPECT_EQ(ClientPixel({80, 150}), kWhite);
    Type(program.blueEdit, L"254");
    EXPECT_TRUE(MarkerAt({330, 200}) && !MarkerAt(kCentre));
    reset();
    EXPECT_EQ(GdiReleaseFailures(), failures);
    EXPECT_EQ(NestedPaintSessionCount(), 0u);
}

TEST(PanelWindow, PaintsStopWhileThePointerRestsAfterARelease) {
    ASSERT_TRUE(EnsurePanelWindow());
    Pointer(WM_LBUTTONDOWN, {300, 160});
    unsigned long before = PaintSessionCount();
    SendMessageW(program.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(300, 160));
    EXPECT_GT(PaintSessionCount(), before);  // the marker is redrawn where it stays
    // Every message in Released asks for a repaint, the paint message included: that request
    // is covered by the paint it came with.
    ASSERT_TRUE(PumpUntilIdle());
    ASSERT_EQ(program.windowState.pointerState, PointerState::Released);
    before = PaintSessionCount();
    // The window alone: its controls' paints send it messages of their own.
    RedrawWindow(program.mainWindow, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(PaintSessionCount() - before, 1u);
    before = PaintSessionCount();
    SendMessageW(program.mainWindow, WM_NULL, 0, 0);
    EXPECT_EQ(PaintSessionCount() - before, 1u);
    InvalidateRect(program.mainWindow, nullptr, FALSE);
    ASSERT_TRUE(PumpUntilIdle()) << "paint requests never ran out";
    before = PaintSessionCount();
    for (int i = 0; i < 5; ++i) ASSERT_TRUE((Sleep(20), PumpUntilIdle()));
    EXPECT_EQ(PaintSessionCount(), before);
    EXPECT_EQ(NestedPaintSessionCount(), 0u);
}

// The overlay's own paints release everything; Enter and other keys leave it open (the real keys
// of the end-to-end run do not reach a dialog without controls under Wine); it is translucent
// where the layered-window function exists and an ordinary window where it does not.
TEST(PanelWindow, HelpOverlayIsTranslucentAndReleasesWhatItsPaintsMake) {
    ASSERT_TRUE(EnsurePanelWindow());
    const long failures = GdiReleaseFailures();
    for (int opening = 0; opening < 3; ++opening) {
        BYTE alpha = 0;
        DWORD flags = 0, style = 0;
        bool stayedOpen = false;
        std::thread watcher([&] {
            HWND overlay = nullptr;
            for (int i = 0; i < 500 && !IsWindowVisible(overlay); ++i, Sleep(10)) {
                overlay = FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
                while (overlay && GetWindow(overlay, GW_OWNER) != program.mainWindow) {
                    overlay = FindWindowExW(nullptr, overlay, L"#32770", nullptr);
                }
            }
            style = GetWindowLongW(overlay, GWL_EXSTYLE);
            GetLayeredWindowAttributes(overlay, nullptr, &alpha, &flags);
            RedrawWindow(overlay, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            for (WPARAM key : {WPARAM(VK_RETURN), WPARAM('A')}) {  // through the dialog's loop
                PostMessageW(overlay, WM_KEYDOWN, key, 1);
                PostMessageW(overlay, WM_KEYUP, key, 0xC0000001);
            }
            Sleep(300);
            stayedOpen = IsWindowVisible(overlay);
            PostMessageW(overlay, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        SendMessageW(program.mainWindow, WM_COMMAND, kHelpButtonId, 0);
        watcher.join();
        EXPECT_TRUE(stayedOpen) << "Enter and other keys leave the overlay open";
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

// A release Windows refuses is counted, so that the paints' checks above can see a leak.
TEST(GdiObjects, ARefusedDeleteIsReported) {
    const long failures = GdiReleaseFailures();
    const HDC screen = GetDC(nullptr);
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
