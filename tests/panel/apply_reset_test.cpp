#include <gtest/gtest.h>

#include "core/gpus/gpu_slots.h"
#include "core/panel/panel_rules.h"
#include "tests/panel/describe_changes.h"

// Found by argument lookup: LedSettings lives in the global namespace.
inline bool operator==(const LedSettings& a, const LedSettings& b) {
    return a.on == b.on && a.cycle == b.cycle && a.mode == b.mode && a.interval == b.interval &&
           a.brightness == b.brightness && a.shade == b.shade && a.red == b.red &&
           a.green == b.green && a.blue == b.blue;
}

inline std::ostream& operator<<(std::ostream& out, const LedSettings& s) {
    return out << "{on " << s.on << ", cycle " << s.cycle << ", mode " << s.mode << ", interval "
               << s.interval << ", brightness " << s.brightness << ", shade " << s.shade << ", rgb "
               << s.red << "/" << s.green << "/" << s.blue << "}";
}

namespace {

struct ApplyCase {
    const char* name;
    int family;
    ApplyReadings readings;
    LedSettings settings;
};

TEST(ApplySettings, GatheredFromTheControls) {
    const ApplyCase cases[] = {
        {"start-up state",
         kFamily3000,
         {0, 1, 0, true, false, 50, 255, 255, 255},
         {1, 0, 0, 1, 0, 50, 255, 255, 255}},
        {"2000 WAVE hands on mode 4",
         kFamily2000,
         {2, 1, 0, true, false, 50, 1, 2, 3},
         {1, 0, 4, 1, 0, 50, 1, 2, 3}},
        {"2000 COLOR CYCLE hands on mode 2",
         kFamily2000,
         {4, 0, 3, false, false, 0, 0, 0, 0},
         {0, 0, 2, 0, 3, 0, 0, 0, 0}},
        {"3000 GLOWING keeps position 4",
         kFamily3000,
         {4, 2, 3, true, true, 100, 10, 20, 30},
         {1, 1, 4, 2, 3, 100, 10, 20, 30}},
        {"3000 BREATHING, LED OFF",
         kFamily3000,
         {2, 0, 2, false, true, 7, 200, 100, 0},
         {0, 1, 2, 0, 2, 7, 200, 100, 0}},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GatherLedSettings(c.family, c.readings), c.settings);
    }
}

struct ResetCase {
    const char* name;
    int family;
    bool supported;
    LedSettings sent;
    int shadePosition;
    std::string changes;
};

TEST(ResetPlan, SendsWhiteStaticAndRestoresTheControls) {
    const std::string radios = "ledOn=,checked ledOff=,clear cycle=off,clear single=off,checked";
    const std::string radiosAndSlider = radios + " shadeSlider=on";
    const ResetCase cases[] = {
        {"family 2000", kFamily2000, true, {1, 0, 0, 1, 0, 0, 255, 255, 255}, 0, radiosAndSlider},
        {"family 3000: slider back to 50 though shade 0 is sent",
         kFamily3000,
         true,
         {1, 1, 0, 1, 0, 0, 255, 255, 255},
         50,
         radiosAndSlider},
        {"unsupported slot leaves the slider",
         kFamily3000,
         false,
         {1, 1, 0, 1, 0, 0, 255, 255, 255},
         50,
         radios},
    };
    for (const ResetCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ResetPlan plan = PlanReset(c.family, c.supported);
        EXPECT_EQ(plan.sent, c.sent);
        EXPECT_EQ(plan.shadePosition, c.shadePosition);
        EXPECT_EQ(Describe(plan.changes), c.changes);
        EXPECT_EQ(plan.modePosition, 0);
        EXPECT_EQ(plan.intervalPosition, 1);
        EXPECT_EQ(plan.brightnessPosition, 0);
        EXPECT_EQ(std::wstring(plan.editText), L"255");
        EXPECT_EQ(plan.red + plan.green + plan.blue, 3 * 255);
        EXPECT_EQ(plan.markerX, 250);
        EXPECT_EQ(plan.markerY, 160);
    }
}

TEST(SlotSelection, StaysInsideTheSlotTable) {
    struct Case {
        int selection, count, current, slot;
    };
    const Case cases[] = {{0, 2, 1, 0},  {1, 2, 0, 1}, {7, 8, 0, 7},
                          {-1, 2, 1, 1}, {2, 2, 0, 0}, {8, 8, 3, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "selection " << c.selection);
        EXPECT_EQ(SlotFromListSelection(c.selection, c.count, c.current), c.slot);
    }
}

}  // namespace
