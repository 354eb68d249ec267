// What the keeper sends each saved board: the lighting the rules want now. A board without a
// saved entry is never touched (nothing could bring its lighting back). Pure: the saved entries,
// the conditions (away, the local time, the temperatures) and what was last sent decide it.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "core/settings/settings_file.h"

struct KeeperConditions {
    bool away = false;    // the session locked or the display off
    int secondOfDay = 0;  // local time, 0 to 86399
};

// The lighting as sent: options with a colour (none that follows the temperature), whether it
// was dark, and the temperature a following colour came from.
struct SentLighting {
    ApplyOptions options;
    bool dark = false;
    std::optional<int> celsius;

    bool operator==(const SentLighting& other) const {
        return options == other.options && dark == other.dark && celsius == other.celsius;
    }
    bool operator!=(const SentLighting& other) const { return !(*this == other); }
};

// A move of at most this many degrees from the temperature the last colour came from keeps that
// colour: sensor noise must not make a board flicker nor fill the bus.
constexpr int kTemperatureNoiseCelsius = 1;

// Whether the rule wants the lights out now.
bool LightsOut(const LightsOutRule& rule, const KeeperConditions& conditions);

// For one board: its saved options with the LED off when the lights are out; otherwise as saved.
// A colour that follows the temperature takes the colour of `celsius` (the GPU's, read now;
// nothing when it cannot be read), unless it moved no more than the noise from the temperature
// of what was last sent, or the board stays dark.
SentLighting WantedLighting(const ApplyOptions& saved, bool lightsOut, std::optional<int> celsius,
                            const SentLighting* lastSent);

// A present board with a saved entry, and its GPU's temperature when the entry follows it.
struct SavedBoardNow {
    BoardKey key;
    ApplyOptions saved;
    std::optional<int> celsius;
};

struct LightingToSend {
    BoardKey key;
    SentLighting lighting;
};

// The boards to send, in the order given: every one when the lighting may have been lost,
// otherwise those whose wanted lighting differs from what was last sent to them.
std::vector<LightingToSend> WhatToSend(const std::vector<SavedBoardNow>& boards,
                                       const LightsOutRule& rule,
                                       const KeeperConditions& conditions,
                                       const std::map<BoardKey, SentLighting>& lastSent,
                                       bool everyBoard);
