// What the keeper wants each saved board to show: lights out by presence and by the hours (across
// midnight, to the second), the colour of the GPU's temperature rounded as worked out by hand,
// and when a followed temperature is sent: outside a band, at least an interval apart.
#include <gtest/gtest.h>

#include <sstream>

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

// Readings in at given seconds, sends out, worked by hand (0000ff:ff0000 over 40-80 °C). Each
// event is "second:reading" ("-": it fails) with "*" when the lighting may have been lost, "!"
// while away (lights out), "~" once the entry is saved anew (over 20-100 °C). Out: "second:colour",
// "second:dark", and "second:dueT" when a held move's due time is new.
TEST(WantedLighting, FollowsTheTemperatureWithABandAndALeastIntervalAndKeepsItOnFailure) {
    ApplyOptions saved;
    saved.byTemperature = TemperatureColours{{0, 0, 255}, {255, 0, 0}, 40, 80};
    ApplyOptions savedAnew = saved;
    savedAnew.byTemperature->low = 20, savedAnew.byTemperature->high = 100;
    const struct {
        const char* name;
        const char *events, *sends;
    } cases[] = {
        {"inside the band nothing, however long", "0:60* 31:62 62:58 93:62 124:61 155:63 186:61",
         "0:800080 155:93006c"},  // 146.625, 108.375
        {"the latest reading at the interval's end", "0:40* 2:44 10:50 20:56 30:56 32:56",
         "0:0000ff 2:due30 30:660099"},
        {"a held move back inside the band", "0:56* 10:60 20:57 30:57", "0:660099 10:due30"},
        {"other reasons at once, restarting the interval", "0:40* 5:60 10:60* 20:70 40:70",
         "0:0000ff 5:due30 10:800080 20:due40 40:bf0040"},
        {"a failing reading keeps the colour", "0:60* 10:- 35:- 40:-* 50:64 60:- 70:-~",
         "0:800080 40:800080 50:due70 70:0000ff"},
        {"a reading failing at the start", "0:-* 2:- 10:50 30:50 40:-",
         "0:0000ff 10:due30 30:4000bf"},
        {"a climb of 1 °C a second", "0:40* 2:42 4:44 16:56 30:70 32:72 34:74 40:80 60:80 74:80",
         "0:0000ff 4:due30 30:bf0040 34:due60 60:ff0000"},
        {"a fall", "0:80* 2:78 4:76 16:64 30:50 32:48 34:46 40:40 60:40 74:40",
         "0:ff0000 4:due30 30:4000bf 34:due60 60:0000ff"},
        {"lights out during a climb", "0:40* 4:44 10:50! 14:54! 20:60 24:64 50:66",
         "0:0000ff 4:due30 10:dark 20:800080 24:due50 50:a60059"},  // 165.75, 89.25
    };
    for (const auto& c : cases) {
        std::map<BoardKey, SentLighting> lastSent;
        std::optional<uint64_t> due;
        const ApplyOptions* entry = &saved;
        std::string sends;
        std::istringstream events(c.events);
        for (std::string event; events >> event;) {
            const int second = std::stoi(event);
            const std::string reading = event.substr(event.find(':') + 1);
            if (reading.find('~') != std::string::npos) entry = &savedAnew;
            const std::optional<int> celsius =
                reading[0] == '-' ? std::nullopt : std::optional<int>(std::stoi(reading));
            const SendsNow now =
                WhatToSend({{{0x220610de, 1}, *entry, celsius}}, {true, std::nullopt},
                           {reading.find('!') != std::string::npos, 0}, lastSent,
                           reading.find('*') != std::string::npos, second * 1000ull);
            const std::string at = " " + std::to_string(second) + ":";
            for (const LightingToSend& send : now.boards) {
                sends +=
                    at + (send.lighting.dark ? "dark" : ColourText(*send.lighting.options.colour));
                lastSent[send.key] = send.lighting;
            }
            if (now.heldUntil && now.heldUntil != due) {
                sends += at + "due" + std::to_string(*now.heldUntil / 1000);
            }
            due = now.heldUntil;
        }
        EXPECT_EQ(sends.substr(1), c.sends) << c.name;
    }
    // A fixed colour, off as saved: dark changes nothing the board shows, but is still sent.
    ApplyOptions fixed;
    fixed.colour = Rgb{1, 2, 3}, fixed.off = true;
    const SentLighting dark = WantedLighting(fixed, true, 70);
    EXPECT_TRUE(dark.dark && dark.options.off && !dark.celsius &&
                dark.options.colour == fixed.colour);
}

}  // namespace
