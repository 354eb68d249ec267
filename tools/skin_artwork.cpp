#include "tools/skin_artwork.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

uint8_t ToByte(double unit) {
    return uint8_t(std::lround(std::clamp(unit, 0.0, 1.0) * 255.0));
}

// Hue as a turn of 0 to 6 sectors (red 0, yellow 1, green 2, cyan 3, blue 4, magenta 5) at
// full brightness; saturation 0 is white.
Rgb HueColour(double sectors, double saturation) {
    const double full = saturation;
    const double between = saturation * (1.0 - std::fabs(std::fmod(sectors, 2.0) - 1.0));
    const double channels[6][3] = {{full, between, 0}, {between, full, 0}, {0, full, between},
                                   {0, between, full}, {between, 0, full}, {full, 0, between}};
    const double* rgb = channels[int(sectors) % 6];
    const double low = 1.0 - saturation;
    return {ToByte(rgb[0] + low), ToByte(rgb[1] + low), ToByte(rgb[2] + low)};
}

Rgb Blend(const Rgb& from, const Rgb& to, double share) {
    auto mix = [share](uint8_t a, uint8_t b) {
        return uint8_t(std::lround(a + (double(b) - a) * share));
    };
    return {mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)};
}

// 5 x 7 letters of the badge, one string per row, '#' for ink.
struct Glyph {
    char letter;
    const char* rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'A', {"..#..", ".#.#.", "#...#", "#...#", "#####", "#...#", "#...#"}},
};
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

const Glyph& GlyphOf(char letter) {
    for (const Glyph& glyph : kGlyphs)
        if (glyph.letter == letter) return glyph;
    return kGlyphs[0];
}

// Each letter scaled up and given a shadow one pixel down and right; all shadows go first so
// that none covers the ink of a neighbour.
void DrawText(Picture& picture, const char* text, int left, int top, int scale, int gap, Rgb ink,
              Rgb shadow) {
    auto paint = [&](int offset, Rgb colour) {
        for (int i = 0; text[i] != '\0'; ++i) {
            const Glyph& glyph = GlyphOf(text[i]);
            const int glyphLeft = left + i * (kGlyphWidth * scale + gap);
            for (int row = 0; row < kGlyphHeight; ++row)
                for (int column = 0; column < kGlyphWidth; ++column)
                    if (glyph.rows[row][column] == '#')
                        for (int dy = 0; dy < scale; ++dy)
                            for (int dx = 0; dx < scale; ++dx)
                                picture.At(glyphLeft + column * scale + dx + offset,
                                           top + row * scale + dy + offset) = colour;
        }
    };
    paint(1, shadow);
    paint(0, ink);
}

// Inside a rectangle with corners rounded by the given radius.
bool InsideRoundedRect(int x, int y, int width, int height, int radius) {
    const int nearestX = std::clamp(x, radius, width - 1 - radius);
    const int nearestY = std::clamp(y, radius, height - 1 - radius);
    const int dx = x - nearestX, dy = y - nearestY;
    return dx * dx + dy * dy <= radius * radius;
}

}  // namespace

Rgb HueDiscColour(int x, int y) {
    const double dx = x - kHueDiscCentre;
    const double dy = kHueDiscCentre - y;  // picture rows grow downward
    const double distance = std::sqrt(dx * dx + dy * dy);
    const Rgb white;
    if (distance > kHueDiscEdgeRadius) return white;
    double sectors = std::atan2(dy, dx) * 3.0 / kPi;
    if (sectors < 0) sectors += 6.0;
    if (sectors >= 6.0) sectors = 0.0;
    const Rgb colour = HueColour(sectors, std::min(distance / kHueDiscRimRadius, 1.0));
    if (distance <= kHueDiscSolidRadius) return colour;
    return Blend(colour, white, distance - kHueDiscSolidRadius);
}

Picture DrawHueDisc() {
    Picture picture(300, 300);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) picture.At(x, y) = HueDiscColour(x, y);
    return picture;
}

Picture DrawBadge() {
    Picture picture(75, 38);
    const Rgb plate{30, 34, 42};
    const Rgb rim{70, 78, 92};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (!InsideRoundedRect(x, y, picture.width, picture.height, 7)) continue;
            const bool border =
                !InsideRoundedRect(x - 1, y - 1, picture.width - 2, picture.height - 2, 6);
            picture.At(x, y) = border ? rim : plate;
        }
    }
    // Four letters of 10 pixels with gaps of 4: 52 pixels wide.
    DrawText(picture, "VOXA", 11, 6, 2, 4, Rgb{255, 255, 255}, Rgb{0, 0, 0});
    // A bar through every hue below the name, the panel's theme in one line.
    const int barLeft = 11, barRight = 63;
    for (int x = barLeft; x <= barRight; ++x) {
        const Rgb colour = HueColour(6.0 * (x - barLeft) / (barRight - barLeft + 1), 1.0);
        for (int y = 26; y <= 28; ++y) picture.At(x, y) = colour;
    }
    return picture;
}
