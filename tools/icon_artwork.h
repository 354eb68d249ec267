// The program's icon: a small hue ring, drawn at each size the icon group holds and written as
// one icon file of 32-bit images.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct IconImage {
    int size = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, row by row from the top, size * size
};

constexpr int kIconSizes[] = {16, 24, 32, 48};

// The ring's radii as fractions of the icon's size, for the drawn and the scalable icon alike.
constexpr double kRingInner = 0.22;

// The ring's colour at an angle in radians (red at 0, anticlockwise): 0x00RRGGBB.
uint32_t RingHue(double angle);

// A ring through every hue, smoothed at its edges with the alpha channel; clear outside.
IconImage DrawRingIcon(int size);

// An icon file holding the images in the order given: each a 32-bit BGRA bitmap (straight alpha)
// followed by its 1-bit mask, set where the image is fully transparent.
std::vector<uint8_t> EncodeIconFile(const std::vector<IconImage>& images);
