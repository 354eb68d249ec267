#include "core/keeper/wanted_lighting.h"

#include <cstdlib>

bool LightsOut(const LightsOutRule& rule, const KeeperConditions& conditions) {
    return (rule.away && conditions.away) ||
           (rule.hours && WithinHours(*rule.hours, conditions.secondOfDay));
}

SentLighting WantedLighting(const ApplyOptions& saved, bool lightsOut, std::optional<int> celsius,
                            const SentLighting* lastSent) {
    SentLighting wanted;
    wanted.dark = lightsOut;
    if (saved.byTemperature) {
        // Dark, the colour is not seen: the temperature it was sent with stays until it lights.
        const bool darkAgain = lightsOut && lastSent != nullptr && lastSent->dark;
        const bool noise = !lightsOut && lastSent != nullptr && !lastSent->dark && celsius &&
                           lastSent->celsius &&
                           std::abs(*celsius - *lastSent->celsius) <= kTemperatureNoiseCelsius;
        wanted.celsius = darkAgain || noise ? lastSent->celsius : celsius;
    }
    wanted.options = AtTemperature(saved, wanted.celsius);
    wanted.options.off = saved.off || lightsOut;
    return wanted;
}

std::vector<LightingToSend> WhatToSend(const std::vector<SavedBoardNow>& boards,
                                       const LightsOutRule& rule,
                                       const KeeperConditions& conditions,
                                       const std::map<BoardKey, SentLighting>& lastSent,
                                       bool everyBoard) {
    const bool lightsOut = LightsOut(rule, conditions);
    std::vector<LightingToSend> sends;
    for (const SavedBoardNow& board : boards) {
        const auto last = lastSent.find(board.key);
        const SentLighting* previous = last == lastSent.end() ? nullptr : &last->second;
        const SentLighting wanted = WantedLighting(board.saved, lightsOut, board.celsius, previous);
        if (everyBoard || previous == nullptr || *previous != wanted) {
            sends.push_back({board.key, wanted});
        }
    }
    return sends;
}
