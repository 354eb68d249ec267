#include "core/rules/picker_rules.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using S = PointerState;

std::pair<int, int> XY(Point p) {
    return {p.x, p.y};
}

// Every state against every event, messages that change nothing included. Whenever the state
// is then Idle or Released the press is over; Released also repaints, on every message until
// the next press, cursor message or release. Losing the capture is a release while the button is
// held and nothing otherwise (the panel's own release of it arrives in Released). A pick ends
// when a held press that began inside the disc is released, and only then.
TEST(PointerTracking, EveryStateAgainstEveryEvent) {
    using E = PointerEvent;
    const E events[] = {E::Press, E::Cursor, E::Release, E::CaptureLost, E::None};
    const std::pair<S, std::vector<S>> cases[] = {
        // the state before, and after each event
        {S::Idle, {S::Pressed, S::Idle, S::Idle, S::Idle, S::Idle}},
        {S::Released, {S::Pressed, S::Idle, S::Idle, S::Released, S::Released}},
        {S::Pressed, {S::Dragging, S::Dragging, S::Released, S::Released, S::Pressed}},
        {S::Dragging, {S::Dragging, S::Dragging, S::Released, S::Released, S::Dragging}},
    };
    for (const auto& [before, afterEach] : cases) {
        for (int e = 0; e < 5; ++e) {
            const PointerStep step = StepPointer(before, events[e]);
            const S after = afterEach[e];
            EXPECT_EQ(std::make_tuple(step.state, step.clearInsidePicker, step.repaintPicker),
                      std::make_tuple(after, after == S::Idle || after == S::Released,
                                      after == S::Released))
                << "from " << int(before) << ", event " << e;
            const bool held = before == S::Pressed || before == S::Dragging;
            WindowState state;
            state.pointerState = before;
            for (bool armed : {true, false}) {
                state.insidePicker = armed;
                EXPECT_EQ(EndsPick(state, events[e]), armed && held && after == S::Released)
                    << "from " << int(before) << ", event " << e << ", armed " << armed;
            }
        }
    }
}

// A press arms the picker only inside the disc; only an armed, held button picks, wherever the
// pointer then goes.
TEST(PointerTracking, PickingNeedsAHeldButtonThatBeganInsideTheDisc) {
    // State, armed before, pointer; armed after, this press arms it (and captures the
    // pointer), picking.
    // clang-format off
    const std::tuple<S, bool, Point, bool, bool, bool> cases[] = {
        {S::Pressed, false, {397, 160}, true, true, true}, {S::Pressed, false, {398, 160}, false, false, false},
        {S::Dragging, false, {250, 160}, false, false, false}, {S::Dragging, true, {450, 160}, true, false, true},
        {S::Pressed, true, {450, 160}, true, false, true}, {S::Idle, false, {250, 160}, false, false, false},
        {S::Released, true, {250, 160}, true, false, false}, {S::Idle, true, {250, 160}, true, false, false},
    };
    // clang-format on
    for (const auto& [pointerState, armed, client, armedAfter, starts, picking] : cases) {
        WindowState state;
        std::tie(state.pointerState, state.insidePicker) = std::tie(pointerState, armed);
        const TrackingStep step = DecideTracking(state, client);
        EXPECT_EQ(std::make_tuple(step.insidePicker, step.startsPick, step.track),
                  std::make_tuple(armedAfter, starts, picking))
            << int(pointerState) << " at " << client.x;
    }
}

TEST(PickerGeometry, HitRadiusAndRimProjection) {
    // Pointer, inside the disc, pick point; a distance of 148 is outside.
    // clang-format off
    const std::tuple<Point, bool, Point> cases[] = {
        {{250, 160}, true, {250, 160}}, {{397, 160}, true, {397, 160}}, {{398, 160}, false, {397, 160}},
        {{354, 265}, true, {354, 265}}, {{355, 265}, false, {353, 263}}, {{450, 160}, false, {397, 160}},
        {{103, 160}, true, {103, 160}}, {{102, 160}, false, {103, 160}}, {{0, 160}, false, {103, 160}},
        {{250, 13}, true, {250, 13}}, {{250, 12}, false, {250, 13}}, {{250, 1000}, false, {250, 307}},
        {{INT_MIN, INT_MAX}, false, {146, 263}}, {{INT_MAX, INT_MAX}, false, {353, 263}},
    };
    // clang-format on
    for (const auto& [client, inside, pick] : cases) {
        EXPECT_EQ(IsInsideDisc(client), inside) << client.x << "," << client.y;
        EXPECT_EQ(XY(PickPoint(client)), XY(pick)) << client.x << "," << client.y;
    }
    EXPECT_EQ(XY(HueImagePixel({397, 160})), std::make_pair(297, 150));
    // Inside the hit radius and on the rim the image pixel stays between 3 and 297.
    for (int y = -400; y <= 700; y += 3) {
        for (int x = -300; x <= 800; x += 3) {
            const Point pixel = HueImagePixel(PickPoint({x, y}));
            ASSERT_TRUE(pixel.x >= 3 && pixel.x <= 297 && pixel.y >= 3 && pixel.y <= 297)
                << x << "," << y << " reads " << pixel.x << "," << pixel.y;
        }
    }
}

TEST(PickerGeometry, PickAndMarker) {
    WindowState state;
    ApplyPick(state, {397, 160}, 0x00123456u);
    EXPECT_EQ(std::make_tuple(state.markerX, state.markerY, state.red, state.green, state.blue),
              std::make_tuple(397, 160, 0x56, 0x34, 0x12));
    EXPECT_EQ(XY(MarkerCentre(state)), std::make_pair(397, 160));
    // An unreadable pixel reads white, and white draws the marker at the centre; it stays stored.
    ApplyPick(state, {397, 160}, 0xFFFFFFFFu);
    EXPECT_EQ(std::make_tuple(state.red, state.green, state.blue), std::make_tuple(255, 255, 255));
    EXPECT_EQ(XY(MarkerCentre(state)), std::make_pair(250, 160));
    EXPECT_EQ(state.markerX, 397);
    // Left, top, right and bottom bars of a hollow 14-pixel square, 2 pixels thick: columns
    // mx - 7 to mx + 6 and rows my - 7 to my + 6 (right and bottom edges excluded).
    std::vector<std::tuple<int, int, int, int>> bars;
    for (const Box& b : MarkerBars({397, 160})) bars.emplace_back(b.left, b.top, b.right, b.bottom);
    // clang-format off
    EXPECT_EQ(bars, (decltype(bars){{390, 153, 392, 167}, {390, 153, 404, 155}, {402, 153, 404, 167},
                                    {390, 165, 404, 167}}));
    // clang-format on
}

TEST(RefreshThrottle, AtMostOncePer20MillisecondsNeverOnTheFirstEvent) {
    // Clock values of successive events, and whether each refreshes.
    // clang-format off
    const std::pair<std::vector<int64_t>, std::vector<bool>> cases[] = {
        {{1000}, {false}}, {{0, 19, 20}, {false, false, true}}, {{100, 119, 120}, {false, false, true}},
        {{100, 125, 130, 144, 145}, {false, true, false, false, true}}, {{5, 5, 5}, {false, false, false}},
        {{INT_MAX, INT_MIN, INT_MIN + 5}, {false, true, false}},  // the clock went backwards
        {{INT64_MIN, INT64_MAX}, {false, true}},
    };
    // clang-format on
    for (const auto& [clock, refreshes] : cases) {
        RefreshTime last;
        for (size_t i = 0; i < clock.size(); ++i) {
            EXPECT_EQ(TakeRefreshTurn(last, clock[i]), refreshes[i]) << clock[0] << ", event " << i;
        }
    }
    WindowState state;  // each source keeps its own clock: the slider's first event never refreshes
    EXPECT_EQ(
        (std::vector<bool>{
            TakeRefreshTurn(state.trackingRefresh, 100), TakeRefreshTurn(state.sliderRefresh, 200),
            TakeRefreshTurn(state.trackingRefresh, 200), TakeRefreshTurn(state.sliderRefresh, 210),
            TakeRefreshTurn(state.sliderRefresh, 220)}),
        (std::vector<bool>{false, false, true, false, true}));
}

// Below the middle a component moves toward white by (255 - c) * s fiftieths, from the middle on
// toward black by c * (s - 50) fiftieths, cut to whole steps. Single precision may fall short of
// a whole step only where the exact move is one, and the component then moves one step less.
TEST(ShadeTransform, EveryComponentAtEveryPositionWithinExactBounds) {
    for (int c = 0; c <= 255; ++c) {
        for (int s = 0; s <= 100; ++s) {
            const int fiftieths = s < 50 ? (255 - c) * s : c * (s - 50);
            const int exact = (s < 50 ? 255 : c) - fiftieths / 50, shaded = ShadeComponent(c, s);
            ASSERT_TRUE(shaded == exact ||
                        (fiftieths > 0 && fiftieths % 50 == 0 && shaded == exact + 1))
                << "c " << c << " s " << s;
        }
    }
    // Component, position -> result: where single precision falls short and where not, and out of
    // range inputs clamped into range.
    // clang-format off
    const int anchors[][3] = {{190, 10, 242}, {45, 15, 193}, {255, 60, 204}, {53, 100, 1}, {54, 100, 0},
                              {INT_MIN, 50, 0}, {INT_MAX, 50, 255}, {-1, 50, 0}, {256, 50, 255}, {128, INT_MIN, 255},
                              {128, -1, 255}, {128, INT_MAX, 0}, {128, 101, 0}};
    // clang-format on
    for (const auto& c : anchors)
        EXPECT_EQ(ShadeComponent(c[0], c[1]), c[2]) << c[0] << "@" << c[1];
    const Colour lighter = ShadeColour({200, 100, 10}, 25);
    EXPECT_EQ(std::make_tuple(lighter.red, lighter.green, lighter.blue),
              std::make_tuple(228, 178, 133));
    EXPECT_EQ(ColourValue({0x12, 0x34, 0x56}), 0x00563412u);
    EXPECT_EQ(ColourValue({-5, 300, 0}), 0x0000FF00u);
}

TEST(HelpOverlay, PlacedOverTheMainWindowLessItsFrame) {
    // The main window's outer rectangle; the overlay's left, top, width and height. The 480 x 440
    // window centred, partly off screen, too small (empty, never negative), and the extremes.
    // clang-format off
    const std::pair<Box, ScreenPlacement> cases[] = {
        {{720, 330, 1200, 770}, {728, 330, 464, 432}}, {{-100, -50, 380, 390}, {-92, -50, 464, 432}},
        {{0, 0, 10, 5}, {8, 0, 0, 0}}, {{INT_MAX, 0, INT_MAX, 0}, {INT_MAX, 0, 0, 0}},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MIN + 8, INT_MIN, INT_MAX, INT_MAX}}};
    // clang-format on
    for (const auto& [outer, e] : cases) {
        const ScreenPlacement p = HelpOverlayPlacement(outer);
        EXPECT_EQ(std::make_tuple(p.left, p.top, p.width, p.height),
                  std::make_tuple(e.left, e.top, e.width, e.height))
            << outer.left << "," << outer.top;
    }
}

}  // namespace
