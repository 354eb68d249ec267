#include "core/panel/panel_rules.h"

#include <gtest/gtest.h>

#include "core/gpus/gpu_slots.h"
#include "tests/panel/describe_changes.h"

namespace {

struct StartCase {
    const char* name;
    int family;
    bool supported;
    const char* changes;
};

TEST(StartStates, ListsAndControlsPerCase) {
    const char* const supported =
        "modeList=on ledOn=on,checked ledOff=on,clear cycle=off,clear single=off,checked "
        "shadeSlider=on apply=on reset=on intervalList=on brightnessList=on";
    const StartCase cases[] = {
        // Interval and brightness: disabled by the 2000 family, enabled again by support.
        {"family 2000, supported", kFamily2000, true, supported},
        {"family 3000, supported", kFamily3000, true, supported},
        {"unsupported selected slot (default family)", kFamily3000, false,
         "modeList=off ledOn=off,checked ledOff=off,clear cycle=off,clear single=off,checked "
         "shadeSlider=off apply=off reset=off intervalList=off brightnessList=off"},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        const StartPlan plan = PlanStartStates(c.family, c.supported);
        EXPECT_EQ(plan.modeTexts, &ModeTexts(c.family));
        EXPECT_EQ(plan.intervalTexts, &IntervalTexts(c.family));
        EXPECT_EQ(plan.brightnessTexts, &BrightnessTexts());
        EXPECT_EQ(plan.modePosition, 0);
        EXPECT_EQ(plan.intervalPosition, 1);
        EXPECT_EQ(plan.brightnessPosition, 0);
        EXPECT_EQ(Describe(plan.changes), c.changes);
    }
}

}  // namespace
