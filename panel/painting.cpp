#include "panel/painting.h"

#include <windows.h>

#include <commctrl.h>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "panel/gdi_objects.h"
#include "panel/picker_geometry.h"
#include "panel/picker_view.h"
#include "panel/pointer_state_table.h"
#include "panel/shade_transform.h"

namespace {

bool paintRunning = false;
unsigned long paintsRun = 0;
unsigned long nestedPaints = 0;

class PaintRunning {
  public:
    PaintRunning() : nested_(paintRunning) {
        if (nested_) ++nestedPaints;
        paintRunning = true;
        ++paintsRun;
    }
    ~PaintRunning() { paintRunning = nested_; }
    PaintRunning(const PaintRunning&) = delete;
    PaintRunning& operator=(const PaintRunning&) = delete;

  private:
    bool nested_;
};

constexpr const wchar_t* kLabelTexts[] = {L"R: ", L"G: ", L"B: "};

int ShadeSliderPosition(HWND window) {
    return static_cast<int>(SendMessageW(GetDlgItem(window, kShadeSliderId), TBM_GETPOS, 0, 0));
}

void Copy(HDC target, Point at, int width, int height, HDC source) {
    BitBlt(target, at.x, at.y, width, height, source, 0, 0, SRCCOPY);
}

// Samples where the cursor is now, from a copy of the hue image that no marker has touched.
void SampleHueImage(HWND window, HDC imageCopy) {
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

void DrawMarker(HDC dc) {
    for (const Box& bar : MarkerBars(MarkerCentre(panelState))) FillBox(dc, bar, RGB(0, 0, 0));
}

void DrawSwatch(HWND window, HDC dc) {
    const Colour base = {panelState.red, panelState.green, panelState.blue};
    FillBox(dc, kSwatchBox, ColourValue(ShadeColour(base, ShadeSliderPosition(window))));
}

// Each label is drawn on a small surface of its own and copied beside its edit; a later label
// covers the lowest rows of the one before, below its text.
void DrawLabel(HDC paintDc, HDC back, const wchar_t* text, int top) {
    MemorySurface label(paintDc, kLabelWidth, kLabelHeight, WHITENESS);
    {
        ScopedSelection font(label.dc(), controlFont);
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

unsigned long PanelPaintCount() {
    return paintsRun;
}

unsigned long NestedPanelPaintCount() {
    return nestedPaints;
}

void PaintPanel(HWND window) {
    const PaintRunning running;
    const PaintSession paint(window);
    RECT outer = {};
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const MemorySurface back(paint.dc(), width, height, WHITENESS);
    const MemorySurface imageCopy(paint.dc(), width, height, WHITENESS);

    Copy(back.dc(), kBadgeOrigin, kBadgeWidth, kBadgeHeight, skin2.dc);
    Copy(back.dc(), kHueImageOrigin, kHueImageSize, kHueImageSize, skin1.dc);
    if (IsPicking(panelState)) {
        Copy(imageCopy.dc(), {0, 0}, kHueImageSize, kHueImageSize, skin1.dc);
        SampleHueImage(window, imageCopy.dc());
    }
    DrawMarker(back.dc());
    DrawSwatch(window, back.dc());
    for (size_t i = 0; i < kLabelTops.size(); ++i) {
        DrawLabel(paint.dc(), back.dc(), kLabelTexts[i], kLabelTops[i]);
    }
    Copy(paint.dc(), {0, 0}, width, height, back.dc());
}
