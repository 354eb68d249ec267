#include "core/settings/temperature_colours.h"

#include <algorithm>

#include "core/settings/apply_options.h"

namespace {

// Whole degrees: plain digits, at most three.
bool Celsius(const std::string& text, int& value) {
    if (text.empty() || text.size() > 3) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// cool * (span - part) + hot * part is never negative, so whole-number division floors it: half
// a step up first rounds half up.
int Blend(int cool, int hot, int part, int span) {
    const int scaled = cool * (span - part) + hot * part;
    return (2 * scaled + span) / (2 * span);
}

}  // namespace

Rgb ColourAtTemperature(const TemperatureColours& colours, std::optional<int> celsius) {
    if (!celsius) return colours.cool;
    const int span = colours.high - colours.low;
    const int part = std::clamp(*celsius, colours.low, colours.high) - colours.low;
    return {Blend(colours.cool.red, colours.hot.red, part, span),
            Blend(colours.cool.green, colours.hot.green, part, span),
            Blend(colours.cool.blue, colours.hot.blue, part, span)};
}

bool ParseTemperatureColours(const std::string& text, TemperatureColours& colours,
                             std::string& error) {
    const size_t colon = text.find(':');
    std::string ignored;
    if (colon == std::string::npos || !ParseColour(text.substr(0, colon), colours.cool, ignored) ||
        !ParseColour(text.substr(colon + 1), colours.hot, ignored)) {
        error = "the temperature colours '" + text + "' are not two colours RRGGBB:RRGGBB";
        return false;
    }
    return true;
}

bool ParseTemperatureRange(const std::string& text, TemperatureColours& colours,
                           std::string& error) {
    const size_t dash = text.find('-');
    int low = 0, high = 0;
    if (dash == std::string::npos || !Celsius(text.substr(0, dash), low) ||
        !Celsius(text.substr(dash + 1), high) || low >= high || high > kHighestCelsius) {
        error = "the temperature range '" + text +
                "' is not LOW-HIGH in whole degrees, 0 <= LOW < HIGH <= 120";
        return false;
    }
    colours.low = low;
    colours.high = high;
    return true;
}

std::string TemperatureColoursText(const TemperatureColours& colours) {
    return ColourText(colours.cool) + ":" + ColourText(colours.hot);
}

std::string TemperatureRangeText(const TemperatureColours& colours) {
    return std::to_string(colours.low) + "-" + std::to_string(colours.high);
}
