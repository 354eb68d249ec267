#include "panel/windows/window/picker.h"

#include <windows.h>

#include <commctrl.h>

#include <ctime>
#include <string>

#include "core/rules/control_ids.h"
#include "core/rules/picker_rules.h"
#include "panel/windows/window/painting.h"
#include "panel/windows/state/program_state.h"

namespace {

PointerEvent PointerEventOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
            return PointerEvent::Press;
        case WM_SETCURSOR:
            return PointerEvent::Cursor;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
        case WM_EXITSIZEMOVE:
            return PointerEvent::Release;
        case WM_CAPTURECHANGED:
            return PointerEvent::CaptureLost;
        default:
            return PointerEvent::None;
    }
}

int64_t ClockMilliseconds() {
    return static_cast<int64_t>(clock()) * 1000 / static_cast<int64_t>(CLOCKS_PER_SEC);
}

void Invalidate(HWND window, const Box& box) {
    const RECT rect = {box.left, box.top, box.right, box.bottom};
    InvalidateRect(window, &rect, FALSE);
}

void Repaint(HWND window, const Box& box) {
    Invalidate(window, box);
    // Asked for from inside a paint, the area waits for the next paint rather than nesting one.
    if (!PaintInProgress()) UpdateWindow(window);
}

void WriteEdits(Colour colour) {
    const ProgramState& program = Program();
    SetWindowTextW(program.redEdit, std::to_wstring(colour.red).c_str());
    SetWindowTextW(program.greenEdit, std::to_wstring(colour.green).c_str());
    SetWindowTextW(program.blueEdit, std::to_wstring(colour.blue).c_str());
}

Colour BaseColour(const WindowState& state) {
    return {state.red, state.green, state.blue};
}

// The pick is over: the capture goes back, and the edits take the last sample at once, unthrottled,
// so that they show (and Apply sends) the colour the swatch shows.
void EndPick(HWND window) {
    // Our own release comes back as a capture change; the state is Released by then.
    if (GetCapture() == window) ReleaseCapture();
    WriteEdits(BaseColour(Program().windowState));
    RepaintLabels(window);
}

}  // namespace

void RunPointerStateStep(HWND window, UINT message) {
    WindowState& windowState = Program().windowState;
    const PointerEvent event = PointerEventOf(message);
    const bool pickEnds = EndsPick(windowState, event);
    const PointerStep step = StepPointer(windowState.pointerState, event);
    windowState.pointerState = step.state;
    if (step.clearInsidePicker) windowState.insidePicker = false;
    if (pickEnds) EndPick(window);
    if (!step.repaintPicker) return;
    // The paint about to run for this very message covers the request. Updating here as well
    // would paint once more after it, and so on for ever while the pointer rests.
    if (message == WM_PAINT) {
        Invalidate(window, kPickerBox);
    } else {
        RepaintPicker(window);
    }
}

bool IsTrackedMessage(UINT message) {
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_SETCURSOR:
        case WM_EXITSIZEMOVE:
        case WM_KEYDOWN:
            return true;
        default:
            return false;
    }
}

void TrackPointer(HWND window) {
    // The cursor as it is now, not where the message says it was.
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    WindowState& windowState = Program().windowState;
    const TrackingStep step = DecideTracking(windowState, {cursor.x, cursor.y});
    windowState.insidePicker = step.insidePicker;
    // Held, the pointer's moves and its release reach the panel wherever they happen.
    if (step.startsPick) SetCapture(window);
    if (!step.track) return;
    // Written before the repaint that samples again: the edits stay one sample behind.
    if (TakeRefreshTurn(windowState.trackingRefresh, ClockMilliseconds())) {
        WriteEdits(BaseColour(windowState));
        RepaintLabels(window);
    }
    RepaintPicker(window);
}

void OnShadeSliderScroll(HWND window) {
    WindowState& windowState = Program().windowState;
    const int shade =
        static_cast<int>(SendMessageW(GetDlgItem(window, kShadeSliderId), TBM_GETPOS, 0, 0));
    const Colour shaded = ShadeColour(BaseColour(windowState), shade);
    if (TakeRefreshTurn(windowState.sliderRefresh, ClockMilliseconds())) {
        WriteEdits(shaded);
        RepaintLabels(window);
    }
    RepaintPicker(window);
}

void RepaintPicker(HWND window) {
    Repaint(window, kPickerBox);
}

void RepaintLabels(HWND window) {
    Repaint(window, kLabelBox);
}
