// On a 3000-family board the mode decides the colour controls: STATIC takes one colour, WAVE
// and GLOWING cycle, FLASH and BREATHING let the user choose; cycling colours cannot be shaded.
#pragma once

#include "panel/control_changes.h"

void ApplyFamily3000ModeRule(ControlChanges& changes, int modePosition, bool cycleChecked);

// FLASH and BREATHING: the positions where the user picks Cycle or Single.
bool ModeOffersCycleChoice(int modePosition);
