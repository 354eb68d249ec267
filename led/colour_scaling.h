// The shade slider lightens or darkens the chosen colour before it goes to the board.
#pragma once

#include <cstdint>

namespace led {

// One colour component v shaded by s: (v / 100 * (100 - s) + 0.5) with the fraction cut off,
// every step rounded to single precision exactly as the boards' firmware was tuned against.
// Only the low 8 bits are sent. Components and shades outside 0-255 / 0-100 still give a
// defined byte: the float is cut to a 64-bit integer (every int32 input lands well inside its
// range) and its low 8 bits are taken.
uint8_t ScaleColour(int32_t value, int32_t shade);

struct ShadedColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

ShadedColour ShadeColour(int32_t shade, int32_t red, int32_t green, int32_t blue);

}  // namespace led
