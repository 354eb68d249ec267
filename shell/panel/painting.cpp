#include "shell/panel/painting.h"

#include <windows.h>

#include <commctrl.h>

#include "core/panel/control_ids.h"
#include "core/panel/picker_rules.h"
#include "shell/panel/gdi_objects.h"
#include "shell/panel/picker.h"
#include "shell/panel/program_state.h"

namespace {

bool paintRunning = false;

class PaintRunning {
  public:
    PaintRunning() : outer_(paintRunning) { paintRunning = true; }
    ~PaintRunning() { paintRunning = outer_; }
    PaintRunning(const PaintRunning&) = delete;
    PaintRunning& operator=(const PaintRunning&) = delete;

  private:
    bool outer_;
};

constexpr const wchar_t* kLabelTexts[] = {L"R: ", L"G: ", L"B: "};

int ShadeSliderPosition(HWND window) {
    return static_cast<int>(SendMessageW(GetDlgItem(window, kShadeSliderId), TBM_GETPOS, 0, 0));
}

void Copy(HDC target, Point at, int width, int height, HDC source) {
    BitBlt(target, at.x, at.y, width, height, source, 0, 0, SRCCOPY);
}

// Samples where the cursor is now, from a copy of the hue image that no marker has touched.
void SampleHueImage(HWND window, HDC imageCopy, PanelState& panelState) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    const Point pick = PickPoint({cursor.x, cursor.y});
    const Point pixel = HueImagePixel(pick);
    ApplyPick(panelState, pick, GetPixel(imageCopy, pixel.x, pixel.y));
}

// A filled rectangle with the default one-pixel black outline.
void FillBox(HDC dc, const Box& box, COLORREF colour) {
    OwnedBrush brush(CreateSolidBrush(colour));
    ScopedSelection selected(dc, brush.get());
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
}

void DrawMarker(HDC dc, const PanelState& panelState) {
    for (const Box& bar : MarkerBars(MarkerCentre(panelState))) FillBox(dc, bar, RGB(0, 0, 0));
}

void DrawSwatch(HWND window, HDC dc, const PanelState& panelState) {
    const Colour base = {panelState.red, panelState.green, panelState.blue};
    FillBox(dc, kSwatchBox, ColourValue(ShadeColour(base, ShadeSliderPosition(window))));
}

// Each label is drawn on a small surface of its own and copied beside its edit; a later label
// covers the lowest rows of the one before, below its text.
void DrawLabel(HDC paintDc, HDC back, HFONT font, const wchar_t* text, int top) {
    MemorySurface label(paintDc, kLabelWidth, kLabelHeight, WHITENESS);
    {
        ScopedSelection selected(label.dc(), font);
        SetBkMode(label.dc(), TRANSPARENT);
        SetTextColor(label.dc(), RGB(0, 0, 0));
        TextOutW(label.dc(), 0, 0, text, 3);
    }
    Copy(back, {kLabelLeft, top}, kLabelWidth, kLabelHeight, label.dc());
}

}  // namespace

bool PaintInProgress() {
    return paintRunning;
}

void PaintPanel(HWND window) {
    const PaintRunning running;
    ProgramState& program = Program();
    const PaintSession paint(window);
    RECT outer = {};
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const MemorySurface back(paint.dc(), width, height, WHITENESS);
    const MemorySurface imageCopy(paint.dc(), width, height, WHITENESS);

    Copy(back.dc(), kBadgeOrigin, kBadgeWidth, kBadgeHeight, program.skin2.dc());
    Copy(back.dc(), kHueImageOrigin, kHueImageSize, kHueImageSize, program.skin1.dc());
    if (IsPicking(program.panelState)) {
        Copy(imageCopy.dc(), {0, 0}, kHueImageSize, kHueImageSize, program.skin1.dc());
        SampleHueImage(window, imageCopy.dc(), program.panelState);
    }
    DrawMarker(back.dc(), program.panelState);
    DrawSwatch(window, back.dc(), program.panelState);
    for (size_t i = 0; i < kLabelTops.size(); ++i) {
        DrawLabel(paint.dc(), back.dc(), program.controlFont.get(), kLabelTexts[i], kLabelTops[i]);
    }
    Copy(paint.dc(), {0, 0}, width, height, back.dc());
}
