#include "core/panel/picker_rules.h"

#include <climits>
#include <cmath>
#include <set>

#include <gtest/gtest.h>

namespace {

// The same transform worked out another way: each single-precision step is done in double and
// rounded to float, which for one division or multiplication of such small numbers gives the
// correctly rounded float result.
int IndependentShade(int c, int s) {
    const double base = s < 50 ? 255 - c : c;
    const double factor = s < 50 ? s : s - 50;
    const float quotient = static_cast<float>(base / 50.0);
    const float product = static_cast<float>(static_cast<double>(quotient) * factor);
    const int cut = static_cast<int>(std::trunc(static_cast<double>(product)));
    return s < 50 ? 255 - cut : c - cut;
}

TEST(ShadeTransform, EveryComponentAtEveryPositionMatchesAnIndependentComputation) {
    for (int c = 0; c <= 255; ++c) {
        for (int s = 0; s <= 100; ++s) {
            ASSERT_EQ(ShadeComponent(c, s), IndependentShade(c, s)) << "c " << c << " s " << s;
        }
    }
}

TEST(ShadeTransform, EndsAndMiddle) {
    const std::set<int> remainders = {53,  59,  105, 106, 117, 118, 209,
                                      210, 211, 212, 234, 235, 236, 237};
    for (int c = 0; c <= 255; ++c) {
        EXPECT_EQ(ShadeComponent(c, 0), 255) << c;
        EXPECT_EQ(ShadeComponent(c, 50), c) << c;
        EXPECT_EQ(ShadeComponent(c, 100), remainders.count(c) ? 1 : 0) << c;
    }
}

TEST(ShadeTransform, OutOfRangeInputsAreClampedIntoRange) {
    struct Case {
        int component, shade, expected;
    };
    const Case cases[] = {
        {INT_MIN, 50, 0},    {INT_MAX, 50, 255}, {-1, 50, 0},       {256, 50, 255},
        {128, INT_MIN, 255}, {128, -1, 255},     {128, INT_MAX, 0}, {128, 101, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShadeComponent(c.component, c.shade), c.expected)
            << c.component << " at " << c.shade;
    }
}

TEST(ShadeTransform, ColourAndItsWindowValue) {
    const Colour base = {200, 100, 10};
    const Colour lighter = ShadeColour(base, 25);
    EXPECT_EQ(lighter.red, ShadeComponent(200, 25));
    EXPECT_EQ(lighter.green, ShadeComponent(100, 25));
    EXPECT_EQ(lighter.blue, ShadeComponent(10, 25));
    EXPECT_EQ(ColourValue({0x12, 0x34, 0x56}), 0x00563412u);
    EXPECT_EQ(ColourValue({255, 0, 0}), 0x000000FFu);
    EXPECT_EQ(ColourValue({0, 0, 255}), 0x00FF0000u);
    EXPECT_EQ(ColourValue({-5, 300, 0}), 0x0000FF00u);
}

}  // namespace
