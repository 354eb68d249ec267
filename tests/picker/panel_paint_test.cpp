// The main window as the program runs it: pointer steps, picking, the swatch, the labels and
// painting, read back from the window's pixels.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "core/panel/control_ids.h"
#include "core/panel/picker_rules.h"
#include "shell/panel/gdi_checks.h"
#include "shell/panel/gdi_objects.h"
#include "shell/panel/painting.h"
#include "shell/panel/picker.h"
#include "shell/panel/program_state.h"
#include "tests/picker/panel_host.h"

namespace {

ProgramState& program = Program();
PanelState& panelState = program.panelState;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr Point kSwatchSample = {80, 150};

std::wstring EditText(HWND edit) {
    wchar_t text[16] = {};
    GetWindowTextW(edit, text, 16);
    return text;
}

std::wstring Decimal(int value) {
    return std::to_wstring(value);
}

bool MarkerDrawnAt(Point centre) {
    for (const Box& bar : MarkerBars(centre)) {
        if (ClientPixel({bar.left, bar.top}) != kBlack) return false;
        if (ClientPixel({bar.right - 1, bar.bottom - 1}) != kBlack) return false;
    }
    return true;
}

class PanelPaint : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(EnsurePanelWindow());
        SetFocus(program.mainWindow);  // no edit reads back what the picker writes
        SendMessageW(program.mainWindow, WM_COMMAND, MAKEWPARAM(kResetButtonId, BN_CLICKED), 0);
        MoveShadeSlider(50);
        MoveCursorTo({30, 380});  // away from the disc, button up
        ASSERT_TRUE(PumpUntilIdle());
    }

    // A press at a point and a drag to another, as the window system delivers them.
    void Drag(Point from, Point to) {
        MoveCursorTo(from);
        PressLeftButton();
        MoveCursorTo(to);
    }
};

TEST_F(PanelPaint, ADragOutOfTheDiscPicksOnTheRimAndTheMarkerStaysAfterRelease) {
    Drag({300, 160}, {450, 160});
    EXPECT_EQ(panelState.markerX, 397);
    EXPECT_EQ(panelState.markerY, 160);
    const COLORREF rimPixel = HueImagePixelValue({297, 150});
    EXPECT_EQ(ColourValue({panelState.red, panelState.green, panelState.blue}), rimPixel);
    EXPECT_TRUE(MarkerDrawnAt({397, 160}));
    EXPECT_EQ(ClientPixel(kSwatchSample), rimPixel);

    ReleaseLeftButton();
    ASSERT_TRUE(PumpUntilIdle());
    EXPECT_TRUE(MarkerDrawnAt({397, 160}));
    MoveCursorTo({200, 100});  // the pointer moves on over the disc, button up
    EXPECT_EQ(panelState.markerX, 397);
    EXPECT_TRUE(MarkerDrawnAt({397, 160}));

    // A new pick away from the rim leaves no piece of the old marker beside the disc.
    Drag({200, 100}, {200, 100});
    ReleaseLeftButton();
    EXPECT_TRUE(MarkerDrawnAt({200, 100}));
    EXPECT_EQ(ClientPixel({402, 160}), kWhite);
    EXPECT_EQ(ClientPixel({403, 153}), kWhite);

    SendMessageW(program.mainWindow, WM_COMMAND, MAKEWPARAM(kResetButtonId, BN_CLICKED), 0);
    EXPECT_EQ(panelState.markerX, kDiscCentreX);
    EXPECT_EQ(panelState.markerY, kDiscCentreY);
    EXPECT_TRUE(MarkerDrawnAt({kDiscCentreX, kDiscCentreY}));
    EXPECT_FALSE(MarkerDrawnAt({200, 100}));
}

TEST_F(PanelPaint, APressOutsideTheDiscNeverPicksEvenWhenDraggedInside) {
    Drag({420, 160}, {250, 100});
    EXPECT_FALSE(panelState.insidePicker);
    EXPECT_EQ(panelState.markerX, kDiscCentreX);
    EXPECT_EQ(panelState.red, 255);
    ReleaseLeftButton();
}

TEST_F(PanelPaint, TheSwatchFollowsTheSlider) {
    Drag({330, 200}, {330, 200});
    ReleaseLeftButton();
    const Colour base = {panelState.red, panelState.green, panelState.blue};
    ASSERT_NE(ColourValue(base), kWhite);
    struct Case {
        int shade;
        COLORREF swatch;
    };
    const Case cases[] = {
        {0, kWhite},
        {50, ColourValue(base)},
        {100, ColourValue(ShadeColour(base, 100))},
        {25, ColourValue(ShadeColour(base, 25))},
        {75, ColourValue(ShadeColour(base, 75))},
    };
    for (const Case& c : cases) {
        Sleep(40);  // so that this move refreshes the edits
        MoveShadeSlider(c.shade);
        SCOPED_TRACE(c.shade);
        EXPECT_EQ(ClientPixel(kSwatchSample), c.swatch);
        EXPECT_EQ(ClientPixel({kSwatchBox.left + 1, kSwatchBox.top + 1}), c.swatch);
        EXPECT_EQ(ClientPixel({kSwatchBox.right - 2, kSwatchBox.bottom - 2}), c.swatch);
        // The default black outline, and white just outside it.
        EXPECT_EQ(ClientPixel({kSwatchBox.left, kSwatchBox.top}), kBlack);
        EXPECT_EQ(ClientPixel({kSwatchBox.right - 1, kSwatchBox.bottom - 1}), kBlack);
        EXPECT_EQ(ClientPixel({kSwatchBox.right, kSwatchBox.top + 5}), kWhite);
        EXPECT_EQ(EditText(program.redEdit), Decimal(GetRValue(c.swatch)));
        EXPECT_EQ(EditText(program.greenEdit), Decimal(GetGValue(c.swatch)));
        EXPECT_EQ(EditText(program.blueEdit), Decimal(GetBValue(c.swatch)));
        // The slider shades the swatch only; the base colour stays.
        EXPECT_EQ(ColourValue({panelState.red, panelState.green, panelState.blue}),
                  ColourValue(base));
    }
}

TEST_F(PanelPaint, SkinsAndLabelsAreDrawn) {
    RepaintPicker(program.mainWindow);
    RepaintLabels(program.mainWindow);
    EXPECT_EQ(ClientPixel({100 + 20, 10 + 150}), HueImagePixelValue({20, 150}));
    EXPECT_EQ(ClientPixel({381 + 40, 363 + 20}), GetPixel(program.skin2.dc(), 40, 20));
    for (int label = 0; label < 3; ++label) {
        int ink = 0;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < kLabelWidth; ++x) {
                if (ClientPixel({kLabelLeft + x, kLabelTops[label] + y}) != kWhite) ++ink;
            }
        }
        EXPECT_GT(ink, 5) << "label " << label;
    }
}

TEST_F(PanelPaint, PaintsStopWhileThePointerRestsAfterARelease) {
    MoveCursorTo({300, 160});
    PressLeftButton();
    const unsigned long beforeRelease = PaintSessionCount();
    SendMessageW(program.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(300, 160));
    ASSERT_EQ(panelState.pointerState, PointerState::Released);
    EXPECT_GT(PaintSessionCount(), beforeRelease);  // the marker is redrawn where it stays

    // Every message in Released asks for a repaint, the paint message included: that request
    // is covered by the paint it came with.
    ASSERT_TRUE(PumpUntilIdle());  // nothing else waits to be painted
    unsigned long before = PaintSessionCount();
    RedrawWindow(program.mainWindow, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(PaintSessionCount() - before, 1u);
    before = PaintSessionCount();
    SendMessageW(program.mainWindow, WM_NULL, 0, 0);
    EXPECT_EQ(PaintSessionCount() - before, 1u);
    InvalidateRect(program.mainWindow, nullptr, FALSE);
    ASSERT_TRUE(PumpUntilIdle()) << "paint requests never ran out";
    ASSERT_EQ(panelState.pointerState, PointerState::Released);
    const unsigned long settled = PaintSessionCount();
    for (int i = 0; i < 5; ++i) {
        Sleep(20);
        ASSERT_TRUE(PumpUntilIdle());
    }
    EXPECT_EQ(PaintSessionCount(), settled);
    EXPECT_EQ(NestedPaintSessionCount(), 0u);
}

TEST_F(PanelPaint, PaintingOutlastsTheDrawingObjectTable) {
    // Paints keep their surface and draw with stock brushes. Had each paint made and lost even
    // its old 15 objects (75,000 in all), Wine's table of about 65,000 would run out and the
    // paints would stop drawing.
    constexpr int kPaints = 5000;
    Drag({330, 200}, {330, 200});
    const long failuresBefore = GdiReleaseFailures();
    const unsigned long paintsBefore = PaintSessionCount();
    for (int i = 0; i < kPaints; ++i)
        RepaintPicker(program.mainWindow);  // each one samples as well
    EXPECT_EQ(PaintSessionCount() - paintsBefore, static_cast<unsigned long>(kPaints));
    EXPECT_EQ(GdiReleaseFailures(), failuresBefore);
    ReleaseLeftButton();
    ASSERT_TRUE(PumpUntilIdle());

    const Colour base = {panelState.red, panelState.green, panelState.blue};
    MoveShadeSlider(75);
    EXPECT_EQ(ClientPixel(kSwatchSample), ColourValue(ShadeColour(base, 75)));
    EXPECT_TRUE(MarkerDrawnAt({330, 200}));
    EXPECT_EQ(ClientPixel({100 + 20, 10 + 150}), HueImagePixelValue({20, 150}));
    EXPECT_EQ(GdiReleaseFailures(), failuresBefore);
    EXPECT_EQ(NestedPaintSessionCount(), 0u);
}

}  // namespace
