#include "core/panel/panel_rules.h"

#include <gtest/gtest.h>

#include "core/gpus/gpu_slots.h"
#include "core/panel/control_ids.h"

namespace {

struct ClickCase {
    const char* name;
    CycleClick click;
    std::optional<bool> slider;
};

TEST(CycleClickRule, SliderFollowsTheChoiceOnlyInFlashAndBreathing) {
    const std::optional<bool> none;
    const ClickCase cases[] = {
        {"Cycle in FLASH disables the slider",
         {kCycleButtonId, 0, true, kFamily3000, 1, true},
         false},
        {"Single in FLASH enables it", {kSingleButtonId, 0, true, kFamily3000, 1, false}, true},
        {"Cycle in BREATHING", {kCycleButtonId, 0, true, kFamily3000, 2, true}, false},
        {"STATIC: no change", {kCycleButtonId, 0, true, kFamily3000, 0, true}, none},
        {"WAVE: no change", {kSingleButtonId, 0, true, kFamily3000, 3, false}, none},
        {"GLOWING: no change", {kSingleButtonId, 0, true, kFamily3000, 4, false}, none},
        {"family 2000: no change", {kCycleButtonId, 0, true, kFamily2000, 1, true}, none},
        {"unsupported: no change", {kCycleButtonId, 0, false, kFamily3000, 1, true}, none},
        {"not a click", {kCycleButtonId, 1, true, kFamily3000, 1, true}, none},
        {"LED ON is not a colour button", {kLedOnButtonId, 0, true, kFamily3000, 1, true}, none},
        {"accelerator command 104", {104, 0, true, kFamily3000, 1, true}, none},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SliderAfterCycleClick(c.click), c.slider);
    }
}

}  // namespace
