// The left-button state table of the hue picker, decided from plain events so that the table can
// be tested without a window; the Windows shell maps messages onto these events.
#pragma once

#include "panel/panel_state.h"

enum class PointerEvent {
    None,     // any message that leaves the state alone
    Press,    // left button down
    Cursor,   // the window system asking for the cursor shape, before every pointer message
    Release,  // left button up, in the client area or over the frame, or a move/size ended
};

struct PointerStep {
    PointerState state;
    bool clearInsidePicker;  // a press that began inside the disc is over
    bool repaintPicker;      // redraw the marker where the last sample left it
};

// The state after one message, and what it asks of the window. Runs for every message,
// state-changing or not: while the state stays Released, every message repeats the repaint.
PointerStep StepPointer(PointerState before, PointerEvent event);

// True while a press that began inside the disc is picking colours.
bool IsPicking(const PanelState& state);
