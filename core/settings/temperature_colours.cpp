#include "core/settings/temperature_colours.h"

#include <algorithm>

#include "core/settings/apply_options.h"
#include "core/settings/decimal_text.h"

namespace {

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
    const std::optional<int> low = PlainDecimal(text.substr(0, dash), 3);
    const std::optional<int> high =
        dash == std::string::npos ? std::nullopt : PlainDecimal(text.substr(dash + 1), 3);
    if (!low || !high || *low >= *high || *high > kHighestCelsius) {
        error = "the temperature range '" + text +
                "' is not LOW-HIGH in whole degrees, 0 <= LOW < HIGH <= 120";
        return false;
    }
    colours.low = *low;
    colours.high = *high;
    return true;
}

std::string TemperatureColoursText(const TemperatureColours& colours) {
    return ColourText(colours.cool) + ":" + ColourText(colours.hot);
}

std::string TemperatureRangeText(const TemperatureColours& colours) {
    return std::to_string(colours.low) + "-" + std::to_string(colours.high);
}
