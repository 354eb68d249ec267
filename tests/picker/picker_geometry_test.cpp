#include "core/panel/picker_rules.h"

#include <climits>
#include <set>
#include <utility>

#include <gtest/gtest.h>

namespace {

TEST(PickerGeometry, HitRadiusEdges) {
    struct Case {
        Point client;
        bool inside;
    };
    const Case cases[] = {
        {{250, 160}, true},                       // centre
        {{397, 160}, true},                       // 147
        {{398, 160}, false},                      // exactly 148
        {{354, 265}, true},                       // 147.8
        {{355, 265}, false},                      // 148.5
        {{102, 160}, false},                      // 148 to the left
        {{103, 160}, true},  {{250, 12}, false},  // 148 up
        {{250, 13}, true},   {{INT_MIN, INT_MAX}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsInsideDisc(c.client), c.inside) << c.client.x << "," << c.client.y;
    }
}

TEST(PickerGeometry, PickPointInsideIsTheCursorAndOutsideLandsOnTheRim) {
    struct Case {
        Point client;
        Point pick;
        Point pixel;
    };
    const Case cases[] = {
        {{300, 200}, {300, 200}, {200, 190}},
        {{397, 160}, {397, 160}, {297, 150}},
        {{450, 160}, {397, 160}, {297, 150}},  // out to the right
        {{398, 160}, {397, 160}, {297, 150}},
        {{0, 160}, {103, 160}, {3, 150}},       // out to the left
        {{250, -500}, {250, 13}, {150, 3}},     // straight up
        {{250, 1000}, {250, 307}, {150, 297}},  // straight down
        {{355, 265}, {353, 263}, {253, 253}},   // just outside, on the diagonal
        {{INT_MAX, INT_MAX}, {353, 263}, {253, 253}},
    };
    for (const Case& c : cases) {
        const Point pick = PickPoint(c.client);
        const Point pixel = HueImagePixel(pick);
        SCOPED_TRACE(testing::Message() << c.client.x << "," << c.client.y);
        EXPECT_EQ(pick.x, c.pick.x);
        EXPECT_EQ(pick.y, c.pick.y);
        EXPECT_EQ(pixel.x, c.pixel.x);
        EXPECT_EQ(pixel.y, c.pixel.y);
    }
}

TEST(PickerGeometry, EveryPickReadsInsideTheImageMargin) {
    // Inside the hit radius and on the rim the image coordinates stay between 3 and 297.
    for (int y = -400; y <= 700; ++y) {
        for (int x = -300; x <= 800; ++x) {
            const Point pixel = HueImagePixel(PickPoint({x, y}));
            ASSERT_TRUE(pixel.x >= 3 && pixel.x <= 297 && pixel.y >= 3 && pixel.y <= 297)
                << x << "," << y << " reads " << pixel.x << "," << pixel.y;
        }
    }
}

TEST(PickerGeometry, PickTakesMarkerAndColourBytes) {
    PanelState state;
    ApplyPick(state, {397, 160}, 0x00123456u);
    EXPECT_EQ(state.markerX, 397);
    EXPECT_EQ(state.markerY, 160);
    EXPECT_EQ(state.red, 0x56);
    EXPECT_EQ(state.green, 0x34);
    EXPECT_EQ(state.blue, 0x12);
    ApplyPick(state, {300, 200}, 0xFFFFFFFFu);  // unreadable pixel
    EXPECT_EQ(state.red, 255);
    EXPECT_EQ(state.green, 255);
    EXPECT_EQ(state.blue, 255);
}

TEST(PickerGeometry, TrackingArmsOnlyOnAPressInsideTheDisc) {
    using S = PointerState;
    struct Case {
        S state;
        bool insideBefore;
        Point client;
        bool insideAfter;
        bool startsPick;  // captures the pointer
        bool track;
    };
    const Case cases[] = {
        {S::Pressed, false, {397, 160}, true, true, true},
        {S::Pressed, false, {398, 160}, false, false, false},
        {S::Dragging, false, {250, 160}, false, false, false},  // began outside: never picks
        {S::Dragging, true, {450, 160}, true, false, true},     // keeps picking outside the disc
        {S::Pressed, true, {450, 160}, true, false, true},
        {S::Pressed, true, {250, 160}, true, false, true},  // already armed: captured already
        {S::Idle, false, {250, 160}, false, false, false},
        {S::Released, false, {250, 160}, false, false, false},
    };
    for (const Case& c : cases) {
        PanelState state;
        state.pointerState = c.state;
        state.insidePicker = c.insideBefore;
        const TrackingStep step = DecideTracking(state, c.client);
        SCOPED_TRACE(testing::Message()
                     << static_cast<int>(c.state) << " at " << c.client.x << "," << c.client.y);
        EXPECT_EQ(step.insidePicker, c.insideAfter);
        EXPECT_EQ(step.startsPick, c.startsPick);
        EXPECT_EQ(step.track, c.track);
    }
}

TEST(PickerGeometry, WhiteDrawsTheMarkerAtTheCentreWithoutMovingIt) {
    struct Case {
        int red, green, blue;
        Point centre;
    };
    const Case cases[] = {
        {255, 255, 255, {250, 160}},
        {255, 255, 254, {397, 160}},
        {0, 0, 0, {397, 160}},
    };
    for (const Case& c : cases) {
        PanelState state;
        state.markerX = 397;
        state.markerY = 160;
        state.red = c.red;
        state.green = c.green;
        state.blue = c.blue;
        const Point centre = MarkerCentre(state);
        EXPECT_EQ(centre.x, c.centre.x);
        EXPECT_EQ(centre.y, c.centre.y);
        EXPECT_EQ(state.markerX, 397);
    }
}

TEST(PickerGeometry, MarkerBarsMakeAHollowSquare) {
    const Point centre = {397, 160};
    const auto bars = MarkerBars(centre);
    const Box expected[] = {
        {390, 153, 392, 167}, {390, 153, 404, 155}, {402, 153, 404, 167}, {390, 165, 404, 167}};
    std::set<std::pair<int, int>> covered;
    for (size_t i = 0; i < bars.size(); ++i) {
        EXPECT_EQ(bars[i].left, expected[i].left);
        EXPECT_EQ(bars[i].top, expected[i].top);
        EXPECT_EQ(bars[i].right, expected[i].right);
        EXPECT_EQ(bars[i].bottom, expected[i].bottom);
        for (int y = bars[i].top; y < bars[i].bottom; ++y) {
            for (int x = bars[i].left; x < bars[i].right; ++x) covered.insert({x, y});
        }
    }
    // Columns mx - 7 to mx + 6 and rows my - 7 to my + 6, two pixels thick.
    for (int y = centre.y - 9; y <= centre.y + 9; ++y) {
        for (int x = centre.x - 9; x <= centre.x + 9; ++x) {
            const int dx = x - centre.x;
            const int dy = y - centre.y;
            const bool inSquare = dx >= -7 && dx <= 6 && dy >= -7 && dy <= 6;
            const bool inHole = dx >= -5 && dx <= 4 && dy >= -5 && dy <= 4;
            EXPECT_EQ(covered.count({x, y}) == 1, inSquare && !inHole) << dx << "," << dy;
        }
    }
}

}  // namespace
