#include "core/panel/panel_rules.h"

#include <gtest/gtest.h>

#include "core/gpus/gpu_slots.h"
#include "tests/panel/describe_changes.h"

namespace {

constexpr int kList2000 = 8;  // length of "STROBING": the 2000 list is in place
constexpr int kList3000 = 5;  // length of "FLASH"
constexpr int kNoSecond = -1;

// Every board control on, with what a case does to Cycle/Single and the slider in between.
std::string AllOn(const std::string& radiosAndSlider) {
    return "modeList=on ledOn=on ledOff=on " + radiosAndSlider +
           "apply=on reset=on intervalList=on brightnessList=on";
}
const std::string kAllOn = AllOn("shadeSlider=on ");
const std::string kSingleForced = AllOn("cycle=off,clear single=off,checked shadeSlider=on ");
const std::string kCycleForced = AllOn("cycle=off,checked single=off,clear shadeSlider=off ");
const std::string kAllOff =
    "modeList=off ledOn=off ledOff=off cycle=off single=off shadeSlider=off apply=off "
    "reset=off intervalList=off brightnessList=off";

struct RefreshCase {
    const char* name;
    RefreshReadings readings;
    const TextList* rebuild;
    std::string changes;
    bool repaint;
};

TEST(SelectionRefresh, ControlsPerFamilyModeAndSupport) {
    const TextList* k2000 = &ModeTexts(kFamily2000);
    const TextList* k3000 = &ModeTexts(kFamily3000);
    const RefreshCase cases[] = {
        // Same family: the user's mode stays, and the 3000 rules follow it.
        {"3000 on 3000 list, STATIC",
         {kFamily3000, true, kList3000, 0, false},
         nullptr,
         kSingleForced,
         true},
        {"3000 FLASH, Single",
         {kFamily3000, true, kList3000, 1, false},
         nullptr,
         AllOn("cycle=on single=on shadeSlider=on "),
         true},
        {"3000 BREATHING, Cycle",
         {kFamily3000, true, kList3000, 2, true},
         nullptr,
         AllOn("cycle=on single=on shadeSlider=off "),
         true},
        {"3000 WAVE", {kFamily3000, true, kList3000, 3, false}, nullptr, kCycleForced, true},
        {"3000 GLOWING", {kFamily3000, true, kList3000, 4, true}, nullptr, kCycleForced, true},
        {"3000 with no mode selected changes no radio",
         {kFamily3000, true, kList3000, -1, true},
         nullptr,
         kAllOn,
         true},
        {"2000 on 2000 list keeps mode, radios untouched",
         {kFamily2000, true, kList2000, 3, true},
         nullptr,
         kAllOn,
         false},
        // Other family: the list is rebuilt and the mode returns to STATIC.
        {"3000 board after a 2000 list",
         {kFamily3000, true, kList2000, 3, false},
         k3000,
         kSingleForced,
         true},
        {"2000 board after a 3000 list",
         {kFamily2000, true, kList3000, 4, true},
         k2000,
         AllOn("cycle=off single=off shadeSlider=on "),
         false},
        {"3000 board, empty mode list",
         {kFamily3000, true, kNoSecond, -1, false},
         k3000,
         kSingleForced,
         true},
        // Unsupported: everything that talks to a board goes off, the list stays as it was.
        {"unsupported, 3000 list in place",
         {kFamily3000, false, kList3000, 1, false},
         nullptr,
         kAllOff,
         false},
        {"unsupported after a 2000 list",
         {kFamily3000, false, kList2000, 2, false},
         k3000,
         kAllOff,
         false},
        // A family the table does not know: no rebuild, no mode rules.
        {"unknown family", {0, true, kList3000, 1, false}, nullptr, kAllOn, false},
    };
    for (const RefreshCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RefreshPlan plan = PlanSelectionRefresh(c.readings);
        EXPECT_EQ(plan.rebuildModeList, c.rebuild);
        EXPECT_EQ(Describe(plan.changes), c.changes);
        EXPECT_EQ(plan.repaintPicker, c.repaint);
    }
}

}  // namespace
