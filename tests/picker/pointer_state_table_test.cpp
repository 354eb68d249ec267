#include "core/panel/picker_rules.h"

#include <gtest/gtest.h>

namespace {

using S = PointerState;
using E = PointerEvent;

struct Case {
    S before;
    E event;
    S after;
    bool clearInsidePicker;
    bool repaintPicker;
    bool endsArmedPick;  // when the press began inside the disc
};

// Every state against every event, including messages that change nothing: Released keeps
// asking for a repaint until the next press, cursor message or release. Losing the capture is a
// release while the button is held, and nothing otherwise (the panel's own release of the
// capture comes in Released).
const Case kCases[] = {
    {S::Idle, E::Press, S::Pressed, false, false, false},
    {S::Idle, E::Cursor, S::Idle, true, false, false},
    {S::Idle, E::Release, S::Idle, true, false, false},
    {S::Idle, E::CaptureLost, S::Idle, true, false, false},
    {S::Idle, E::None, S::Idle, true, false, false},
    {S::Released, E::Press, S::Pressed, false, false, false},
    {S::Released, E::Cursor, S::Idle, true, false, false},
    {S::Released, E::Release, S::Idle, true, false, false},
    {S::Released, E::CaptureLost, S::Released, true, true, false},
    {S::Released, E::None, S::Released, true, true, false},
    {S::Pressed, E::Press, S::Dragging, false, false, false},
    {S::Pressed, E::Cursor, S::Dragging, false, false, false},
    {S::Pressed, E::Release, S::Released, true, true, true},
    {S::Pressed, E::CaptureLost, S::Released, true, true, true},
    {S::Pressed, E::None, S::Pressed, false, false, false},
    {S::Dragging, E::Press, S::Dragging, false, false, false},
    {S::Dragging, E::Cursor, S::Dragging, false, false, false},
    {S::Dragging, E::Release, S::Released, true, true, true},
    {S::Dragging, E::CaptureLost, S::Released, true, true, true},
    {S::Dragging, E::None, S::Dragging, false, false, false},
};

TEST(PointerStateTable, EveryStateAgainstEveryEvent) {
    for (const Case& c : kCases) {
        const PointerStep step = StepPointer(c.before, c.event);
        SCOPED_TRACE(testing::Message() << "before " << static_cast<int>(c.before) << ", event "
                                        << static_cast<int>(c.event));
        EXPECT_EQ(step.state, c.after);
        EXPECT_EQ(step.clearInsidePicker, c.clearInsidePicker);
        EXPECT_EQ(step.repaintPicker, c.repaintPicker);
        PanelState state;
        state.pointerState = c.before;
        state.insidePicker = true;
        EXPECT_EQ(EndsPick(state, c.event), c.endsArmedPick);
        state.insidePicker = false;  // a press that began outside the disc never picks
        EXPECT_FALSE(EndsPick(state, c.event));
    }
}

TEST(PointerStateTable, PickingNeedsAHeldButtonThatBeganInsideTheDisc) {
    struct PickCase {
        S state;
        bool insidePicker;
        bool picking;
    };
    const PickCase cases[] = {
        {S::Idle, true, false},    {S::Released, true, false}, {S::Pressed, true, true},
        {S::Dragging, true, true}, {S::Pressed, false, false}, {S::Dragging, false, false},
    };
    for (const PickCase& c : cases) {
        PanelState state;
        state.pointerState = c.state;
        state.insidePicker = c.insidePicker;
        EXPECT_EQ(IsPicking(state), c.picking) << static_cast<int>(c.state);
    }
}

}  // namespace
