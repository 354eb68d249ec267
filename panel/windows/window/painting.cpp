#include "panel/windows/window/painting.h"

#include <windows.h>

#include <commctrl.h>

#include "core/rules/control_ids.h"
#include "core/rules/picker_rules.h"
#include "panel/windows/gdi/gdi_objects.h"
#include "panel/windows/window/picker.h"
#include "panel/windows/state/program_state.h"

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

// Samples where the cursor is now, from the hue image itself: nothing ever draws on it, so the
// sample never sees the marker.
void SampleHueImage(HWND window, WindowState& windowState) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    const Point pick = PickPoint({cursor.x, cursor.y});
    const Point pixel = HueImagePixel(pick);
    ApplyPick(windowState, pick, GetPixel(Program().skin1.dc(), pixel.x, pixel.y));
}

// A filled rectangle with the default one-pixel black outline. Stock brushes: nothing to make or
// release per paint.
void FillBox(HDC dc, const Box& box, HGDIOBJ brush) {
    ScopedSelection selected(dc, brush);
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
}

void DrawMarker(HDC dc, const WindowState& windowState) {
    for (const Box& bar : MarkerBars(MarkerCentre(windowState))) {
        FillBox(dc, bar, GetStockObject(BLACK_BRUSH));
    }
}

void DrawSwatch(HWND window, HDC dc, const WindowState& windowState) {
    const Colour base = {windowState.red, windowState.green, windowState.blue};
    SetDCBrushColor(dc, ColourValue(ShadeColour(base, ShadeSliderPosition(window))));
    FillBox(dc, kSwatchBox, GetStockObject(DC_BRUSH));
}

// Each label is drawn on a small surface of its own and copied beside its edit; a later label
// covers the lowest rows of the one before, below its text.
void DrawLabel(HDC reference, HDC back, HFONT font, const wchar_t* text, int top) {
    MemorySurface label(reference, kLabelWidth, kLabelHeight, WHITENESS);
    {
        ScopedSelection selected(label.dc(), font);
        SetBkMode(label.dc(), TRANSPARENT);
        SetTextColor(label.dc(), RGB(0, 0, 0));
        TextOutW(label.dc(), 0, 0, text, 3);
    }
    Copy(back, {kLabelLeft, top}, kLabelWidth, kLabelHeight, label.dc());
}

// What never changes is drawn once, when the surface is made: the white ground, the badge and
// the labels. Nothing a paint draws later reaches them: it all lies in the picker rectangle.
MemorySurface ComposeUnchangingParts(HDC reference, SIZE size) {
    const ProgramState& program = Program();
    MemorySurface back(reference, size.cx, size.cy, WHITENESS);
    Copy(back.dc(), kBadgeOrigin, kBadgeWidth, kBadgeHeight, program.skin2.dc());
    for (size_t i = 0; i < kLabelTops.size(); ++i) {
        DrawLabel(reference, back.dc(), program.controlFont.get(), kLabelTexts[i], kLabelTops[i]);
    }
    return back;
}

HDC ComposedWindow(HWND window, HDC reference) {
    ProgramState& program = Program();
    RECT outer = {};
    GetWindowRect(window, &outer);
    const SIZE size = {outer.right - outer.left, outer.bottom - outer.top};
    if (!program.composedWindow.Valid() || size.cx != program.composedSize.cx ||
        size.cy != program.composedSize.cy) {
        program.composedWindow = ComposeUnchangingParts(reference, size);
        program.composedSize = size;
    }
    return program.composedWindow.dc();
}

// The picker rectangle anew: white, the hue image (which covers the last marker), the marker and
// the swatch.
void ComposePicker(HWND window, HDC back, const WindowState& windowState) {
    PatBlt(back, kPickerBox.left, kPickerBox.top, kPickerBox.right - kPickerBox.left,
           kPickerBox.bottom - kPickerBox.top, WHITENESS);
    Copy(back, kHueImageOrigin, kHueImageSize, kHueImageSize, Program().skin1.dc());
    DrawMarker(back, windowState);
    DrawSwatch(window, back, windowState);
}

}  // namespace

bool PaintInProgress() {
    return paintRunning;
}

void PaintPanel(HWND window) {
    const PaintRunning running;
    WindowState& windowState = Program().windowState;
    const PaintSession paint(window);
    const HDC back = ComposedWindow(window, paint.dc());
    if (IsPicking(windowState)) SampleHueImage(window, windowState);
    // A paint of the labels alone shows nothing of the picker, which the next paint that shows it
    // composes anew.
    const RECT picker = {kPickerBox.left, kPickerBox.top, kPickerBox.right, kPickerBox.bottom};
    if (RectVisible(paint.dc(), &picker)) ComposePicker(window, back, windowState);
    const RECT& area = paint.Area();
    BitBlt(paint.dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, back,
           area.left, area.top, SRCCOPY);
}
