// The shade slider's blend of the base colour toward white (positions below 50) or toward black
// (above 50), as the swatch shows it and the slider writes it into the edits.
#pragma once

#include <cstdint>

struct Colour {
    int red;
    int green;
    int blue;
};

constexpr int kShadeMiddle = 50;
constexpr int kShadeMax = 100;

// One component c (0-255) at slider position s (0-100), in single precision: convert, divide by
// 50, multiply by the converted factor, truncate, in exactly that order. At s = 100 the rounding
// leaves 1 for a few components (53, 59, 105, 106, 117, 118, 209-212, 234-237). Inputs outside
// those ranges are clamped into them first.
int ShadeComponent(int component, int shade);

Colour ShadeColour(Colour base, int shade);

// The window system's colour value, 0x00BBGGRR.
uint32_t ColourValue(Colour colour);
