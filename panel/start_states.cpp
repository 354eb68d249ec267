#include "panel/start_states.h"

#include "app/gpu_slots.h"

StartPlan PlanStartStates(int family, bool supported) {
    StartPlan plan;
    plan.modeTexts = &ModeTexts(family);
    plan.intervalTexts = &IntervalTexts(family);
    plan.brightnessTexts = &BrightnessTexts();
    // The family's own say first; support then decides for the board controls, and Cycle and
    // Single start disabled on every board (STATIC takes one colour).
    const bool familyEnablesLists = family != kFamily2000;
    plan.changes.intervalList.enabled = familyEnablesLists;
    plan.changes.brightnessList.enabled = familyEnablesLists;
    plan.changes.ledOn.checked = true;
    plan.changes.ledOff.checked = false;
    SetBoardControlsEnabled(plan.changes, supported);
    plan.changes.cycle = {false, false};
    plan.changes.single = {false, true};
    return plan;
}
