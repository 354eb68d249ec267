#include <gtest/gtest.h>

#include "core/gpus/gpu_slots.h"
#include "core/panel/panel_rules.h"

namespace {

TEST(ModeMapping, Family2000ExchangesWaveAndColourCycle) {
    struct Case {
        int family, position, mode;
    };
    const Case cases[] = {
        {kFamily2000, 0, 0}, {kFamily2000, 1, 1},   {kFamily2000, 2, 4}, {kFamily2000, 3, 3},
        {kFamily2000, 4, 2}, {kFamily2000, -1, -1}, {kFamily2000, 7, 7}, {kFamily3000, 0, 0},
        {kFamily3000, 1, 1}, {kFamily3000, 2, 2},   {kFamily3000, 3, 3}, {kFamily3000, 4, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.family << " position " << c.position);
        EXPECT_EQ(ModeNumberForPosition(c.family, c.position), c.mode);
    }
}

}  // namespace
