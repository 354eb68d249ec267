// What the keeper sends each saved board: the lighting the rules want now. A board without a
// saved entry is never touched (nothing could bring its lighting back). Pure: the saved entries,
// the conditions (away, the local time, the temperatures), what was last sent and when, and the
// time now decide it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "core/settings/settings_file.h"

struct KeeperConditions {
    bool away = false;    // the session locked or the display off
    int secondOfDay = 0;  // local time, 0 to 86399
};

// The lighting as sent: options with a colour (none that follows the temperature), whether it
// was dark, the temperature a following colour came from, the saved entry it was made of, and
// when it was sent (a steady clock's milliseconds).
struct SentLighting {
    ApplyOptions options;
    bool dark = false;
    std::optional<int> celsius;
    ApplyOptions entry;
    uint64_t sentAt = 0;
};

// A following colour changes only once the temperature has moved this many degrees from the one
// it came from: readings that go back and forth inside the band (sensor noise, a steady load)
// must not restart a board's animation nor wear a controller that stores what it is sent.
constexpr int kTemperatureHysteresisCelsius = 3;
// For one board, two sends caused by the temperature alone are at least this far apart; the one
// due at the end carries the latest reading, so a climb ends on its colour at most this late.
constexpr uint64_t kTemperatureSendIntervalMilliseconds = 30000;

// Whether the rule wants the lights out now.
bool LightsOut(const LightsOutRule& rule, const KeeperConditions& conditions);

// For one board: its saved options with the LED off when the lights are out; otherwise as saved.
// A colour that follows the temperature takes the colour of `celsius` (the first colour when it
// is none).
SentLighting WantedLighting(const ApplyOptions& saved, bool lightsOut, std::optional<int> celsius);

// A present board with a saved entry, and its GPU's temperature when the entry follows it
// (nothing when it cannot be read).
struct SavedBoardNow {
    BoardKey key;
    ApplyOptions saved;
    std::optional<int> celsius;
};

// The temperature a board's colour is to come from: its reading, or when that fails, the one its
// last colour came from while its entry is the same; none (the first colour) without either.
std::optional<int> TemperatureToShow(const SavedBoardNow& board, const SentLighting* last);

struct LightingToSend {
    BoardKey key;
    SentLighting lighting;
};

struct SendsNow {
    std::vector<LightingToSend> boards;
    // The earliest time a temperature's move held back by the interval is due to be sent.
    std::optional<uint64_t> heldUntil;
};

// The boards to send at `now` (a steady clock's milliseconds), in the order given: every one when
// the lighting may have been lost, one that was never sent, one whose entry or darkness changed;
// those at once, with the current reading. Otherwise a board that follows its temperature and is
// lit when the reading has left the band around its last colour's temperature, once the interval
// since its last send is over. A reading that fails keeps the temperature of the last colour sent
// from the same entry; without one, the first colour.
SendsNow WhatToSend(const std::vector<SavedBoardNow>& boards, const LightsOutRule& rule,
                    const KeeperConditions& conditions,
                    const std::map<BoardKey, SentLighting>& lastSent, bool everyBoard,
                    uint64_t now);
