// Reset: a fixed white, static setting sent to the board, and the controls back to their
// starting values.
#pragma once

#include "led/led_settings.h"
#include "panel/control_changes.h"

struct ResetPlan {
    // Handed to the dispatching write. For family 2000 that is the mode block, and only when it
    // went through, 500 ms later the colour block switching the LEDs on; for family 3000 the one
    // block with colour cycling set.
    LedSettings sent;
    int red = 255;  // the base colour and what the three edits show
    int green = 255;
    int blue = 255;
    const wchar_t* editText = L"255";
    int modePosition = 0;
    int intervalPosition = 1;
    int brightnessPosition = 0;
    ControlChanges changes;
    int markerX = 0;
    int markerY = 0;
    // The 3000 family's slider returns to the middle although shade 0 was sent.
    int shadePosition = 0;
};

ResetPlan PlanReset(int family, bool supported);
