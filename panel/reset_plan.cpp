#include "panel/reset_plan.h"

#include "app/gpu_slots.h"
#include "panel/panel_state.h"

ResetPlan PlanReset(int family, bool supported) {
    ResetPlan plan;
    plan.sent.on = 1;
    plan.sent.cycle = family == kFamily3000 ? 1 : 0;
    plan.sent.mode = 0;
    plan.sent.interval = 1;
    plan.sent.brightness = 0;
    plan.sent.shade = 0;
    plan.sent.red = plan.sent.green = plan.sent.blue = 255;

    plan.changes.ledOn.checked = true;
    plan.changes.ledOff.checked = false;
    plan.changes.cycle = {false, false};
    plan.changes.single = {false, true};
    if (supported) plan.changes.shadeSlider.enabled = true;
    plan.markerX = kDiscCentreX;
    plan.markerY = kDiscCentreY;
    plan.shadePosition = family == kFamily2000 ? 0 : 50;
    return plan;
}
