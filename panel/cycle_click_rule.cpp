#include "panel/cycle_click_rule.h"

#include "app/control_ids.h"
#include "app/gpu_slots.h"
#include "panel/family3000_mode_rule.h"

namespace {
constexpr int kButtonClicked = 0;
}

std::optional<bool> SliderAfterCycleClick(const CycleClick& click) {
    const bool radio = click.controlId == kCycleButtonId || click.controlId == kSingleButtonId;
    if (!radio || click.notificationCode != kButtonClicked || !click.supported) return {};
    if (click.family != kFamily3000 || !ModeOffersCycleChoice(click.modePosition)) return {};
    return !click.cycleChecked;
}
