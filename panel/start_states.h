// How the lists and buttons start once the boards are known: by the family and support of the
// selected slot.
#pragma once

#include "panel/control_changes.h"
#include "panel/list_texts.h"

struct StartPlan {
    const TextList* modeTexts = nullptr;
    const TextList* intervalTexts = nullptr;
    const TextList* brightnessTexts = nullptr;
    int modePosition = 0;
    int intervalPosition = 1;
    int brightnessPosition = 0;
    ControlChanges changes;
};

StartPlan PlanStartStates(int family, bool supported);
