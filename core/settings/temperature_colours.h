// A board's colour that follows its GPU's temperature: the first colour at the range's low end and
// below, the second at its high end and above, and a blend of the two in between.
#pragma once

#include <optional>
#include <string>

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;

    bool operator==(const Rgb& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

constexpr int kDefaultLowCelsius = 40;
constexpr int kDefaultHighCelsius = 80;
constexpr int kHighestCelsius = 120;

struct TemperatureColours {
    Rgb cool;
    Rgb hot;
    int low = kDefaultLowCelsius;  // whole °C, 0 <= low < high <= 120
    int high = kDefaultHighCelsius;

    bool operator==(const TemperatureColours& other) const {
        return cool == other.cool && hot == other.hot && low == other.low && high == other.high;
    }
};

// Per channel: cool + (hot - cool) * clamp((t - low) / (high - low), 0, 1), rounded half up. A
// temperature that cannot be read gives the first colour.
Rgb ColourAtTemperature(const TemperatureColours& colours, std::optional<int> celsius);

// "RRGGBB:RRGGBB" and "LOW-HIGH"; false with the reason in plain words.
bool ParseTemperatureColours(const std::string& text, TemperatureColours& colours,
                             std::string& error);
bool ParseTemperatureRange(const std::string& text, TemperatureColours& colours,
                           std::string& error);
std::string TemperatureColoursText(const TemperatureColours& colours);  // "0000ff:ff0000"
std::string TemperatureRangeText(const TemperatureColours& colours);    // "40-80"
