// What the keeper wants each saved board to show: lights out by presence and by the hours (across
// midnight, to the second), the colour of the GPU's temperature rounded as worked out by hand,
// and sensor noise that sends nothing.
#include <gtest/gtest.h>

#include "core/keeper/wanted_lighting.h"

namespace {

constexpr int Seconds(int hour, int minute, int second = 0) {
    return (hour * 60 + minute) * 60 + second;
}

TEST(LightsOut, ByPresenceAndByTheHoursAcrossMidnightToTheSecond) {
    const LightsOutRule never, away{true, std::nullopt};
    const LightsOutRule night{false, DailyHours{23 * 60, 7 * 60}};
    const LightsOutRule day{true, DailyHours{8 * 60 + 30, 17 * 60}};
    const struct {
        const LightsOutRule& rule;
        bool away;
        int second;
        bool out;
        int toBoundary;  // seconds; 0 when the rule has no hours
    } cases[] = {
        // clang-format off
        {never, true, Seconds(23, 30), false, 0}, {away, true, Seconds(12, 0), true, 0},
        {away, false, Seconds(12, 0), false, 0},
        {night, false, Seconds(22, 59, 59), false, 1}, {night, false, Seconds(23, 0), true, Seconds(8, 0)},
        {night, false, Seconds(0, 0), true, Seconds(7, 0)}, {night, false, Seconds(6, 59, 59), true, 1},
        {night, false, Seconds(7, 0), false, Seconds(16, 0)}, {night, true, Seconds(12, 0), false, Seconds(11, 0)},
        {day, false, Seconds(8, 29, 59), false, 1}, {day, false, Seconds(8, 30), true, Seconds(8, 30)},
        {day, false, Seconds(16, 59, 59), true, 1}, {day, false, Seconds(17, 0), false, Seconds(15, 30)},
        {day, true, Seconds(20, 0), true, Seconds(12, 30)},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LightsOut(c.rule, {c.away, c.second}), c.out)
            << LightsOutText(c.rule) << c.second;
        if (c.rule.hours) {
            EXPECT_EQ(SecondsToNextBoundary(*c.rule.hours, c.second), c.toBoundary) << c.second;
        }
    }
}

TEST(TemperatureColour, BlendsPerChannelRoundingHalfUpAndClampsOutsideTheRange) {
    TemperatureColours colours{{0, 255, 10}, {255, 0, 11}, 40, 80};
    const struct {
        std::optional<int> celsius;
        Rgb colour;
    } cases[] = {
        // clang-format off
        {std::nullopt, {0, 255, 10}}, {0, {0, 255, 10}}, {40, {0, 255, 10}}, {80, {255, 0, 11}}, {120, {255, 0, 11}},
        {50, {64, 191, 10}},   // 63.75, 191.25, 10.25
        {60, {128, 128, 11}},  // 127.5 and 127.5 round up, 10.5 too
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColourText(ColourAtTemperature(colours, c.celsius)), ColourText(c.colour))
            << c.celsius.value_or(-1);
    }
    colours.low = 0, colours.high = 120;
    EXPECT_EQ(ColourText(ColourAtTemperature(colours, 1)), "02fd0a");  // 2.125, 252.875, 10.008
}

// One board that follows its temperature, sampled as the keeper does: 40, 80, 60 and 61 send the
// first colour, the second, the blend and nothing; noise stays unsent, dark stays dark.
TEST(WantedLighting, SendsWhatChangesAndNotTheNoise) {
    ApplyOptions saved;
    saved.mode = "static";
    saved.byTemperature = TemperatureColours{{0, 0, 255}, {255, 0, 0}, 40, 80};
    const LightsOutRule night{false, DailyHours{23 * 60, 7 * 60}};
    const BoardKey key{0x220610de, 1};
    const struct {
        std::optional<int> celsius;
        int second;
        bool everyBoard;
        std::string sent;  // the colour and whether dark, or "" for nothing sent
    } samples[] = {
        // clang-format off
        {40, Seconds(12, 0), true, "0000ff"}, {80, Seconds(12, 0), false, "ff0000"},
        {60, Seconds(12, 0), false, "800080"}, {61, Seconds(12, 0), false, ""}, {59, Seconds(12, 0), false, ""},
        {59, Seconds(12, 0), true, "800080"},   // the lighting may have been lost: sent again
        {62, Seconds(12, 0), false, "8c0073"},  // 140.25, 114.75
        {70, Seconds(23, 0), false, "bf0040 dark"},
        {40, Seconds(23, 30), false, ""},  // dark: the temperature is not seen
        {std::nullopt, Seconds(7, 0), false, "0000ff"}, {std::nullopt, Seconds(8, 0), false, ""},
        {41, Seconds(8, 0), false, "0600f9"},  // 6.375, 248.625
        // clang-format on
    };
    std::map<BoardKey, SentLighting> lastSent;
    for (const auto& sample : samples) {
        const std::vector<LightingToSend> sends =
            WhatToSend({{key, saved, sample.celsius}}, night, {false, sample.second}, lastSent,
                       sample.everyBoard);
        std::string sent;
        for (const LightingToSend& send : sends) {
            sent = ColourText(*send.lighting.options.colour) + (send.lighting.dark ? " dark" : "");
            EXPECT_EQ(send.lighting.options.off, send.lighting.dark);
            EXPECT_FALSE(send.lighting.options.byTemperature);
            lastSent[send.key] = send.lighting;
        }
        EXPECT_EQ(sent, sample.sent) << sample.celsius.value_or(-1) << " at " << sample.second;
    }
    // A fixed colour, off as saved: dark changes nothing the board shows, but is still sent.
    ApplyOptions fixed;
    fixed.colour = Rgb{1, 2, 3};
    fixed.off = true;
    const SentLighting dark = WantedLighting(fixed, true, std::nullopt, nullptr);
    EXPECT_TRUE(dark.dark && dark.options.off && !dark.celsius);
    EXPECT_EQ(dark.options.colour, fixed.colour);
}

}  // namespace
