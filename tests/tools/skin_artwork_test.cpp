// Every point the colour picker reads lies on the hue disc: the cursor itself when it is closer
// than 148 to the centre, and otherwise the point of the rim circle of radius 147 toward it,
// (trunc(cos a * 147 + 150), trunc(sin a * 147 + 150)) in picture pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tools/skin_artwork.h"

TEST(HueDisc, EveryPointThePickerReadsLiesOnTheDisc) {
    const Picture disc = DrawHueDisc();
    ASSERT_EQ(disc.width * disc.height, 300 * 300);
    for (int dy = -400; dy <= 400; ++dy) {
        for (int dx = -400; dx <= 400; ++dx) {
            int x = 150 + dx, y = 150 + dy;
            if (std::hypot(dx, dy) >= 148) {
                const double a = std::atan2(dy, dx);
                x = int(std::cos(a) * 147.0 + 150.0);
                y = int(std::sin(a) * 147.0 + 150.0);
            }
            // On the disc the colour is at full brightness and its saturation grows from white
            // at the centre to a pure hue at the rim; the white around the disc has neither.
            const Rgb& c = disc.At(x, y);
            const double saturation = std::min(std::hypot(x - 150, y - 150) / 147.0, 1.0);
            ASSERT_EQ(std::max({c.red, c.green, c.blue}), 255) << x << "," << y;
            ASSERT_NEAR(std::min({c.red, c.green, c.blue}), 255.0 * (1.0 - saturation), 1.0)
                << x << "," << y;
        }
    }
}
