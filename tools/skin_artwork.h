// The artwork of the window's two pictures, drawn by our own code so that it can be rebuilt
// byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
    uint8_t red = 255;
    uint8_t green = 255;
    uint8_t blue = 255;
    bool operator==(const Rgb& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // row by row from the top

    Picture(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h)) {}
    Rgb& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Rgb& At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Geometry of the hue disc in picture pixels. The colour picker reads every point closer than
// the hit radius to the centre and, beyond it, points of the rim circle; the disc keeps its
// full colour a little past both, so every point picking can reach is on it.
constexpr int kHueDiscCentre = 150;
constexpr double kHueDiscRimRadius = 147.0;    // pure hues from here outward
constexpr double kHueDiscSolidRadius = 149.0;  // full colour up to here
constexpr double kHueDiscEdgeRadius = 150.0;   // blended into white between the two

// Colour of the hue disc at a pixel: hue by angle (red to the right, then anticlockwise
// through yellow, green, cyan, blue and magenta), saturation by the distance from the centre
// (white there, pure at the rim), always at full brightness; white outside the disc.
Rgb HueDiscColour(int x, int y);

// skin1: 300 x 300, the hue disc on white.
Picture DrawHueDisc();

// skin2: 75 x 38, the "VOXA" badge: pixel lettering on a dark rounded plate over a hue bar.
Picture DrawBadge();
