#include "core/panel/picker_rules.h"

#include <climits>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(RefreshThrottle, SequencesOfEvents) {
    struct Case {
        const char* name;
        std::vector<int64_t> clock;
        std::vector<bool> refreshes;
    };
    const Case cases[] = {
        {"first event never refreshes", {1000}, {false}},
        {"first event at zero", {0, 19, 20}, {false, false, true}},
        {"20 ms after the first", {100, 120}, {false, true}},
        {"19 ms is too soon", {100, 119, 120}, {false, false, true}},
        {"two moves within 20 ms refresh once",
         {100, 125, 130, 144, 145},
         {false, true, false, false, true}},
        {"same instant", {5, 5, 5}, {false, false, false}},
        {"clock went backwards", {INT_MAX, INT_MIN, INT_MIN + 5}, {false, true, false}},
        {"far apart", {INT64_MIN, INT64_MAX}, {false, true}},
    };
    for (const Case& c : cases) {
        RefreshTime last;
        for (size_t i = 0; i < c.clock.size(); ++i) {
            EXPECT_EQ(TakeRefreshTurn(last, c.clock[i]), c.refreshes[i])
                << c.name << ", event " << i;
        }
    }
}

TEST(RefreshThrottle, SourcesKeepTheirOwnClocks) {
    PanelState state;
    EXPECT_FALSE(TakeRefreshTurn(state.trackingRefresh, 100));
    EXPECT_FALSE(TakeRefreshTurn(state.sliderRefresh, 200));  // its own first event
    EXPECT_TRUE(TakeRefreshTurn(state.trackingRefresh, 200));
    EXPECT_FALSE(TakeRefreshTurn(state.sliderRefresh, 210));
    EXPECT_TRUE(TakeRefreshTurn(state.sliderRefresh, 220));
}

}  // namespace
