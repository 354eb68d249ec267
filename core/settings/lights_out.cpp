#include "core/settings/lights_out.h"

#include <algorithm>
#include <sstream>

#include "core/settings/decimal_text.h"

namespace {

// "7:05" or "07:05": an hour of 0 to 23, a minute of 00 to 59.
bool ParseTime(const std::string& text, int& minuteOfDay) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 2 || text.size() != colon + 3) {
        return false;
    }
    const std::optional<int> hour = PlainDecimal(text.substr(0, colon), 2);
    const std::optional<int> minute = PlainDecimal(text.substr(colon + 1), 2);
    if (!hour || !minute || *hour > 23 || *minute > 59) return false;
    minuteOfDay = *hour * 60 + *minute;
    return true;
}

bool ParseHours(const std::string& text, DailyHours& hours) {
    const size_t dash = text.find('-');
    return dash != std::string::npos && ParseTime(text.substr(0, dash), hours.start) &&
           ParseTime(text.substr(dash + 1), hours.end);
}

std::string TimeText(int minuteOfDay) {
    const int hour = minuteOfDay / 60, minute = minuteOfDay % 60;
    return std::string{char('0' + hour / 10), char('0' + hour % 10), ':', char('0' + minute / 10),
                       char('0' + minute % 10)};
}

}  // namespace

bool ParseLightsOutRule(const std::vector<std::string>& words, LightsOutRule& rule,
                        std::string& error) {
    std::vector<std::string> parts;
    for (const std::string& word : words) {
        std::istringstream split(word);
        for (std::string part; split >> part;) parts.push_back(part);
    }
    rule = LightsOutRule();
    const auto refuse = [&error](const std::string& why) {
        error = why + "; lights-out takes never, away, HH:MM-HH:MM, or away and HH:MM-HH:MM";
        return false;
    };
    if (parts.empty()) return refuse("no rule given");
    if (parts.size() == 1 && parts[0] == "never") return true;
    if (parts.size() > 2) return refuse("too many words");
    for (const std::string& part : parts) {
        DailyHours hours;
        if (part == "away" && !rule.away) {
            rule.away = true;
        } else if (!rule.hours && part.find('-') != std::string::npos) {
            if (!ParseHours(part, hours)) {
                return refuse("'" + part + "' is not two times HH:MM-HH:MM of a day");
            }
            if (hours.start == hours.end) return refuse("'" + part + "' begins when it ends");
            rule.hours = hours;
        } else {
            return refuse("'" + part + "' is not a rule");
        }
    }
    return true;
}

std::string LightsOutText(const LightsOutRule& rule) {
    std::string text = rule.away ? "away" : "";
    if (rule.hours) {
        text += (text.empty() ? "" : " ") + TimeText(rule.hours->start) + "-" +
                TimeText(rule.hours->end);
    }
    return text.empty() ? "never" : text;
}

bool WithinHours(const DailyHours& hours, int secondOfDay) {
    const int minute = secondOfDay / 60;
    return hours.start < hours.end ? minute >= hours.start && minute < hours.end
                                   : minute >= hours.start || minute < hours.end;
}

int SecondsToNextBoundary(const DailyHours& hours, int secondOfDay) {
    int next = kSecondsPerDay;
    for (const int boundary : {hours.start * 60, hours.end * 60}) {
        const int until = (boundary - secondOfDay + kSecondsPerDay) % kSecondsPerDay;
        next = std::min(next, until == 0 ? kSecondsPerDay : until);
    }
    return next;
}
