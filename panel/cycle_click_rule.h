// A click on Cycle or Single: on a 3000-family board in FLASH or BREATHING the shade slider
// follows the choice, since a cycling colour cannot be shaded.
#pragma once

#include <optional>

struct CycleClick {
    int controlId = 0;
    int notificationCode = 0;
    bool supported = false;
    int family = 0;
    int modePosition = 0;
    bool cycleChecked = false;  // after the click
};

// The slider's new enabled state (and then the picker is repainted), or nothing to do.
std::optional<bool> SliderAfterCycleClick(const CycleClick& click);
