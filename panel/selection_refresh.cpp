#include "panel/selection_refresh.h"

#include "app/gpu_slots.h"
#include "panel/family3000_mode_rule.h"

RefreshPlan PlanSelectionRefresh(const RefreshReadings& readings) {
    RefreshPlan plan;
    const bool is2000 = readings.family == kFamily2000;
    const bool is3000 = readings.family == kFamily3000;
    // The second entry's length tells which family's list is in place.
    if ((is2000 || is3000) &&
        readings.secondModeTextLength != SecondModeTextLength(readings.family)) {
        plan.rebuildModeList = &ModeTexts(readings.family);
        if (is2000) {
            plan.changes.cycle.enabled = false;
            plan.changes.single.enabled = false;
        } else {
            plan.changes.intervalList.enabled = true;
            plan.changes.brightnessList.enabled = true;
        }
    }
    const int modePosition = plan.rebuildModeList ? 0 : readings.modePosition;

    if (!readings.supported) {
        SetBoardControlsEnabled(plan.changes, false);
        plan.changes.cycle.enabled = false;
        plan.changes.single.enabled = false;
        return plan;
    }
    SetBoardControlsEnabled(plan.changes, true);
    if (is3000) {
        ApplyFamily3000ModeRule(plan.changes, modePosition, readings.cycleChecked);
        plan.repaintPicker = true;
    }
    return plan;
}
