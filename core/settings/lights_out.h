// When the keeper puts every saved board's lighting out: while the user is away, every day
// between two local times, both, or never. One rule for all boards, kept in the settings file and
// written as the command line takes it: "never", "away", "23:00-07:00", "away 23:00-07:00".
#pragma once

#include <optional>
#include <string>
#include <vector>

constexpr int kSecondsPerDay = 24 * 60 * 60;

// From `start` to `end`, in minutes after midnight, local time; across midnight when start is
// later. Never empty: the two differ.
struct DailyHours {
    int start = 0;
    int end = 0;

    bool operator==(const DailyHours& other) const {
        return start == other.start && end == other.end;
    }
};

struct LightsOutRule {
    bool away = false;
    std::optional<DailyHours> hours;

    bool operator==(const LightsOutRule& other) const {
        return away == other.away && hours == other.hours;
    }
    bool operator!=(const LightsOutRule& other) const { return !(*this == other); }
};

// The rule from its words (one word may hold both, "away 23:00-07:00"); false with the reason.
bool ParseLightsOutRule(const std::vector<std::string>& words, LightsOutRule& rule,
                        std::string& error);
std::string LightsOutText(const LightsOutRule& rule);

// Whether `secondOfDay` (0 to 86399, local time) lies within the hours.
bool WithinHours(const DailyHours& hours, int secondOfDay);
// How long from `secondOfDay` until the hours next begin or end: 1 to 86400 seconds.
int SecondsToNextBoundary(const DailyHours& hours, int secondOfDay);
