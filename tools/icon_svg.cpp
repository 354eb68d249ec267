#include "tools/icon_svg.h"

#include <cmath>
#include <cstdio>

#include "tools/icon_artwork.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSize = 256;
constexpr int kSectors = 360;
constexpr double kOverlap = 0.25;  // of a sector, into the next one

std::string Number(double value) {
    char text[24];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// A point of the circle of `radius` at `angle`, with y downwards as SVG has it.
std::string Point(double radius, double angle) {
    return Number(kSize / 2.0 + radius * std::cos(angle)) + " " +
           Number(kSize / 2.0 - radius * std::sin(angle));
}

// From `from` to `to` along the circle of `radius`, anticlockwise on screen or back.
std::string Arc(double radius, double to, bool anticlockwise) {
    const std::string r = Number(radius);
    return "A" + r + " " + r + " 0 0 " + (anticlockwise ? "0 " : "1 ") + Point(radius, to);
}

}  // namespace

std::string DrawRingIconSvg() {
    // The radii of the drawn icons, at the picture's size.
    const double outer = kSize / 2.0 - 0.5;
    const double inner = kSize * kRingInner;
    const double step = 2 * kPi / kSectors;
    std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
        "viewBox=\"0 0 256 256\">\n";
    for (int sector = 0; sector < kSectors; ++sector) {
        const double from = sector * step, to = (sector + 1 + kOverlap) * step;
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%06X", unsigned(RingHue((sector + 0.5) * step)));
        svg += std::string("<path fill=\"") + colour + "\" d=\"M" + Point(outer, from) +
               Arc(outer, to, true) + "L" + Point(inner, to) + Arc(inner, from, false) + "Z\"/>\n";
    }
    svg += "</svg>\n";
    return svg;
}
