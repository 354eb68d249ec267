// What the panel does when a list's selection changes (and on the accelerator commands, which
// arrive the same way): put the selected board's mode list in place and set the controls.
#pragma once

#include "panel/control_changes.h"
#include "panel/list_texts.h"

struct RefreshReadings {
    int family = 0;
    bool supported = false;
    int secondModeTextLength = -1;  // -1 when the mode list has no second entry
    int modePosition = 0;           // as the list stands before any rebuild
    bool cycleChecked = false;
};

struct RefreshPlan {
    // Refill the mode list with these texts and select position 0; null keeps the user's mode.
    const TextList* rebuildModeList = nullptr;
    ControlChanges changes;
    bool repaintPicker = false;
};

RefreshPlan PlanSelectionRefresh(const RefreshReadings& readings);
