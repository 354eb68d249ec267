#include "core/panel/picker_rules.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

TEST(HelpOverlayLayout, PlacementFromTheMainWindowsOuterRectangle) {
    struct Case {
        Box outer;
        ScreenPlacement placement;
    };
    const Case cases[] = {
        {{720, 330, 1200, 770}, {728, 330, 464, 432}},  // the 480 x 440 window, centred
        {{-100, -50, 380, 390}, {-92, -50, 464, 432}},  // partly off screen
        {{0, 0, 10, 5}, {8, 0, 0, 0}},                  // too small: empty, never negative
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MIN + 8, INT_MIN, INT_MAX, INT_MAX}},
        {{INT_MAX, 0, INT_MAX, 0}, {INT_MAX, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const ScreenPlacement p = HelpOverlayPlacement(c.outer);
        SCOPED_TRACE(testing::Message() << c.outer.left << "," << c.outer.top);
        EXPECT_EQ(p.left, c.placement.left);
        EXPECT_EQ(p.top, c.placement.top);
        EXPECT_EQ(p.width, c.placement.width);
        EXPECT_EQ(p.height, c.placement.height);
    }
}

}  // namespace
