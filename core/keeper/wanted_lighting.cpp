#include "core/keeper/wanted_lighting.h"

#include <algorithm>
#include <cstdlib>

bool LightsOut(const LightsOutRule& rule, const KeeperConditions& conditions) {
    return (rule.away && conditions.away) ||
           (rule.hours && WithinHours(*rule.hours, conditions.secondOfDay));
}

SentLighting WantedLighting(const ApplyOptions& saved, bool lightsOut, std::optional<int> celsius) {
    SentLighting wanted;
    wanted.dark = lightsOut;
    wanted.entry = saved;
    if (saved.byTemperature) wanted.celsius = celsius;
    wanted.options = AtTemperature(saved, wanted.celsius);
    wanted.options.off = saved.off || lightsOut;
    return wanted;
}

std::optional<int> TemperatureToShow(const SavedBoardNow& board, const SentLighting* last) {
    if (board.celsius || last == nullptr || last->entry != board.saved) return board.celsius;
    return last->celsius;
}

namespace {

// Whether a board sent `last` is sent `wanted` now, which changed for its temperature alone; when
// only the interval holds it back, `heldUntil` learns when it is due.
bool TemperatureSendDue(const SentLighting& last, const SentLighting& wanted, uint64_t now,
                        std::optional<uint64_t>& heldUntil) {
    // Dark, the colour is not seen: the temperature it was sent with stays until it lights.
    if (wanted.dark || wanted.options == last.options) return false;
    if (last.celsius && wanted.celsius &&
        std::abs(*wanted.celsius - *last.celsius) < kTemperatureHysteresisCelsius) {
        return false;
    }
    const uint64_t due = last.sentAt + kTemperatureSendIntervalMilliseconds;
    if (now >= due) return true;
    heldUntil = std::min(heldUntil.value_or(due), due);
    return false;
}

}  // namespace

SendsNow WhatToSend(const std::vector<SavedBoardNow>& boards, const LightsOutRule& rule,
                    const KeeperConditions& conditions,
                    const std::map<BoardKey, SentLighting>& lastSent, bool everyBoard,
                    uint64_t now) {
    const bool lightsOut = LightsOut(rule, conditions);
    SendsNow sends;
    for (const SavedBoardNow& board : boards) {
        const auto last = lastSent.find(board.key);
        const SentLighting* previous = last == lastSent.end() ? nullptr : &last->second;
        SentLighting wanted =
            WantedLighting(board.saved, lightsOut, TemperatureToShow(board, previous));
        wanted.sentAt = now;
        const bool otherReason = everyBoard || previous == nullptr ||
                                 previous->entry != board.saved || previous->dark != lightsOut;
        if (otherReason || TemperatureSendDue(*previous, wanted, now, sends.heldUntil)) {
            sends.boards.push_back({board.key, wanted});
        }
    }
    return sends;
}
