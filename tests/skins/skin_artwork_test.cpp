#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/skins/skin_catalog.h"
#include "core/skins/skin_decoder.h"
#include "tools/icon_artwork.h"
#include "tools/skin_artwork.h"
#include "tools/stored_picture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<uint8_t> ReadResource(const std::string& name) {
    std::ifstream file(std::string(LUMIVAR_RESOURCES_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

uint32_t Uint32At(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

uint16_t Uint16At(const std::vector<uint8_t>& bytes, size_t at) {
    return uint16_t(bytes[at] | bytes[at + 1] << 8);
}

// Hue of a colour in degrees, 0 red, 120 green, 240 blue.
double HueDegrees(const Rgb& c) {
    const double r = c.red, g = c.green, b = c.blue;
    const double high = std::max({r, g, b}), low = std::min({r, g, b});
    double hue;
    if (high == r)
        hue = 60.0 * (g - b) / (high - low);
    else if (high == g)
        hue = 60.0 * (2.0 + (b - r) / (high - low));
    else
        hue = 60.0 * (4.0 + (r - g) / (high - low));
    return hue < 0 ? hue + 360.0 : hue;
}

double AngleDifference(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

// Hue direction on screen: anticlockwise from the right, picture rows growing downward.
double ScreenAngleDegrees(double dx, double dy) {
    double degrees = std::atan2(-dy, dx) * 180.0 / kPi;
    return degrees < 0 ? degrees + 360.0 : degrees;
}

const Picture& HueDisc() {
    static const Picture picture = DrawHueDisc();
    return picture;
}

TEST(HueDisc, FullColourEverywhereInsideTheHitRadius) {
    const Picture& disc = HueDisc();
    ASSERT_EQ(disc.width, 300);
    ASSERT_EQ(disc.height, 300);
    int checked = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 300; ++x) {
            const double dx = x - 150, dy = y - 150;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d >= 148) continue;
            const Rgb c = disc.At(x, y);
            const int high = std::max({c.red, c.green, c.blue});
            const int low = std::min({c.red, c.green, c.blue});
            ASSERT_EQ(high, 255) << x << "," << y;  // full brightness, nothing dimmed
            // Saturation grows with the distance: white at the centre, pure at the rim.
            ASSERT_NEAR(low, 255.0 * (1.0 - std::min(d / 147.0, 1.0)), 1.0) << x << "," << y;
            if (d >= 20) {
                const double saturation = (255.0 - low) / 255.0;
                const double tolerance = 60.0 / (255.0 * saturation) + 0.5;
                ASSERT_LE(AngleDifference(HueDegrees(c), ScreenAngleDegrees(dx, dy)), tolerance)
                    << x << "," << y;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 68000);  // about pi * 148^2
}

// Outside the hit radius the picker reads the rim point toward the cursor:
// (trunc(cos a * 147 + 150), trunc(sin a * 147 + 150)). Every cursor direction that integer
// positions can give must land on a pure hue of that direction.
TEST(HueDisc, EveryRimPointIsAPureHueOfItsDirection) {
    const Picture& disc = HueDisc();
    int checked = 0;
    for (int dy = -400; dy <= 400; ++dy) {
        for (int dx = -400; dx <= 400; ++dx) {
            if (std::sqrt(double(dx) * dx + double(dy) * dy) < 148) continue;
            const double a = std::atan2(double(dy), double(dx));
            const int x = int(std::cos(a) * 147.0 + 150.0);
            const int y = int(std::sin(a) * 147.0 + 150.0);
            ASSERT_TRUE(x >= 3 && x <= 297 && y >= 3 && y <= 297) << dx << "," << dy;
            const Rgb c = disc.At(x, y);
            ASSERT_EQ(std::max({c.red, c.green, c.blue}), 255) << x << "," << y;
            ASSERT_LE(std::min({c.red, c.green, c.blue}), 2) << x << "," << y;
            ASSERT_LE(AngleDifference(HueDegrees(c), ScreenAngleDegrees(x - 150, y - 150)), 1.0)
                << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 500000);
}

TEST(HueDisc, WhiteAtTheCentreAndAroundTheDisc) {
    const Picture& disc = HueDisc();
    const Rgb white;
    EXPECT_EQ(disc.At(150, 150), white);
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 300; ++x) {
            if (std::hypot(x - 150.0, y - 150.0) > kHueDiscEdgeRadius) {
                ASSERT_EQ(disc.At(x, y), white) << x << "," << y;
            }
        }
    }
    // A drag to the right of the disc picks image (297, 150): pure red.
    EXPECT_EQ(disc.At(297, 150), (Rgb{255, 0, 0}));
}

TEST(Badge, FillsItsSizeWithRoundedCornersOnTheWindowBackground) {
    const Picture badge = DrawBadge();
    ASSERT_EQ(badge.width, 75);
    ASSERT_EQ(badge.height, 38);
    const Rgb white;
    for (auto [x, y] : {std::pair{0, 0}, {74, 0}, {0, 37}, {74, 37}})
        EXPECT_EQ(badge.At(x, y), white) << x << "," << y;
    EXPECT_NE(badge.At(37, 2), white);
    EXPECT_NE(badge.At(2, 19), white);
}

TEST(StoredPicture, CoreBitmapHeaderAndPaddedSize) {
    struct Case {
        const char* name;
        Picture picture;
        size_t storedSize;
    };
    const Case cases[] = {{"skin1", DrawHueDisc(), kSkin1Resource.storedSize},
                          {"skin2", DrawBadge(), kSkin2Resource.storedSize}};
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes = EncodeCoreBitmap(c.picture, c.storedSize);
        ASSERT_EQ(bytes.size(), c.storedSize) << c.name;
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(Uint32At(bytes, 2), c.storedSize) << c.name;  // file size = the stored file
        EXPECT_EQ(Uint32At(bytes, 10), 26u) << c.name;
        EXPECT_EQ(Uint32At(bytes, 14), 12u) << c.name;
        EXPECT_EQ(Uint16At(bytes, 18), c.picture.width) << c.name;
        EXPECT_EQ(Uint16At(bytes, 20), c.picture.height) << c.name;
        EXPECT_EQ(Uint16At(bytes, 22), 1) << c.name;
        EXPECT_EQ(Uint16At(bytes, 24), 24) << c.name;
        // The first stored pixel is the bottom-left one, blue first.
        const Rgb& bottomLeft = c.picture.At(0, c.picture.height - 1);
        EXPECT_EQ(bytes[26], bottomLeft.blue) << c.name;
        EXPECT_EQ(bytes[28], bottomLeft.red) << c.name;
    }
    EXPECT_THROW(EncodeCoreBitmap(DrawHueDisc(), 270024), std::invalid_argument);
    EXPECT_THROW(EncodeCoreBitmap(DrawBadge(), 8690), std::invalid_argument);  // not whole steps
}

// The committed files decode, as the program does, to exactly what the generator draws.
TEST(CommittedSkins, DecodeToTheDrawnPictures) {
    struct Case {
        const char* file;
        SkinDescription skin;
        Picture picture;
    };
    const Case cases[] = {{"skin1.bin", kSkin1Resource, DrawHueDisc()},
                          {"skin2.bin", kSkin2Resource, DrawBadge()}};
    for (const Case& c : cases) {
        const std::vector<uint8_t> stored = ReadResource(c.file);
        ASSERT_EQ(stored.size(), c.skin.storedSize) << c.file;
        const auto pixels =
            DecodeSkin(stored.data(), stored.size(), c.skin.width, c.skin.height, c.skin.steps);
        ASSERT_TRUE(pixels.has_value()) << c.file;
        std::vector<uint32_t> drawn;
        for (const Rgb& p : c.picture.pixels) drawn.push_back(SkinColour(p.red, p.green, p.blue));
        EXPECT_EQ(pixels->colours, drawn) << c.file;
    }
}

TEST(IconFile, FourThirtyTwoBitImagesWithMatchingMasks) {
    const std::vector<uint8_t> file = ReadResource("lumivar.ico");
    ASSERT_GE(file.size(), 6u + 4 * 16);
    EXPECT_EQ(Uint16At(file, 0), 0);
    EXPECT_EQ(Uint16At(file, 2), 1);
    ASSERT_EQ(Uint16At(file, 4), 4);
    size_t expectedOffset = 6 + 4 * 16;
    for (int i = 0; i < 4; ++i) {
        const size_t entry = 6 + size_t(i) * 16;
        const int size = kIconSizes[i];
        SCOPED_TRACE(size);
        EXPECT_EQ(file[entry], size);
        EXPECT_EQ(file[entry + 1], size);
        EXPECT_EQ(Uint16At(file, entry + 4), 1);
        EXPECT_EQ(Uint16At(file, entry + 6), 32);
        const uint32_t bytes = Uint32At(file, entry + 8);
        const uint32_t offset = Uint32At(file, entry + 12);
        ASSERT_EQ(offset, expectedOffset);
        const size_t maskStride = size_t((size + 31) / 32) * 4;
        ASSERT_EQ(bytes, 40 + size_t(size) * size * 4 + maskStride * size_t(size));
        ASSERT_LE(size_t(offset) + bytes, file.size());
        EXPECT_EQ(Uint32At(file, offset), 40u);
        EXPECT_EQ(Uint32At(file, offset + 4), uint32_t(size));
        EXPECT_EQ(Uint32At(file, offset + 8), uint32_t(size * 2));
        EXPECT_EQ(Uint16At(file, offset + 14), 32);

        // Mask bit set exactly where the image is clear; rows bottom-up in both.
        const size_t pixels = offset + 40;
        const size_t mask = pixels + size_t(size) * size * 4;
        int opaque = 0;
        for (int row = 0; row < size; ++row) {
            for (int x = 0; x < size; ++x) {
                const uint8_t alpha = file[pixels + (size_t(row) * size + x) * 4 + 3];
                const bool clear =
                    (file[mask + size_t(row) * maskStride + size_t(x / 8)] >> (7 - x % 8)) & 1;
                ASSERT_EQ(clear, alpha == 0) << x << "," << row;
                opaque += alpha == 255;
            }
        }
        EXPECT_GT(opaque, size * size / 3);  // a ring, not a speck
        // The ring's hole: the centre is clear.
        const int centre = size / 2;
        EXPECT_EQ(file[pixels + (size_t(centre) * size + centre) * 4 + 3], 0);
        expectedOffset += bytes;
    }
    EXPECT_EQ(expectedOffset, file.size());
}

}  // namespace
