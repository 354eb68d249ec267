#include "panel/pointer_state_table.h"

namespace {

PointerState NextState(PointerState before, PointerEvent event) {
    const bool held = before == PointerState::Pressed || before == PointerState::Dragging;
    switch (event) {
        case PointerEvent::Press:
            return held ? PointerState::Dragging : PointerState::Pressed;
        case PointerEvent::Cursor:
            return held ? PointerState::Dragging : PointerState::Idle;
        case PointerEvent::Release:
            return held ? PointerState::Released : PointerState::Idle;
        case PointerEvent::None:
            break;
    }
    return before;
}

}  // namespace

PointerStep StepPointer(PointerState before, PointerEvent event) {
    const PointerState after = NextState(before, event);
    const bool resting = after == PointerState::Idle || after == PointerState::Released;
    return {after, resting, after == PointerState::Released};
}

bool IsPicking(const PanelState& state) {
    const bool held =
        state.pointerState == PointerState::Pressed || state.pointerState == PointerState::Dragging;
    return held && state.insidePicker;
}
