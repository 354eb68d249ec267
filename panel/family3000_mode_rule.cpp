#include "panel/family3000_mode_rule.h"

bool ModeOffersCycleChoice(int modePosition) {
    return modePosition == 1 || modePosition == 2;
}

void ApplyFamily3000ModeRule(ControlChanges& changes, int modePosition, bool cycleChecked) {
    if (modePosition == 0) {
        changes.single = {false, true};
        changes.cycle = {false, false};
        changes.shadeSlider.enabled = true;
    } else if (ModeOffersCycleChoice(modePosition)) {
        changes.cycle.enabled = true;
        changes.single.enabled = true;
        changes.shadeSlider.enabled = !cycleChecked;
    } else if (modePosition == 3 || modePosition == 4) {
        changes.cycle = {false, true};
        changes.single = {false, false};
        changes.shadeSlider.enabled = false;
    }
}
