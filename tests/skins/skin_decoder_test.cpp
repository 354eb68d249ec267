#include "core/skins/skin_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct Header {
    uint32_t fileSize;
    uint32_t pixelOffset;
    uint16_t width;
    uint16_t height;
    uint16_t bitsPerPixel;
};

void Put(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// A stored resource: the 26 header bytes, then the pixel array as given, all scrambled.
std::vector<uint8_t> Stored(const Header& header, const std::vector<uint8_t>& pixelArray) {
    std::vector<uint8_t> bytes(26 + pixelArray.size(), 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put(bytes, 2, header.fileSize, 4);
    Put(bytes, 10, header.pixelOffset, 4);
    Put(bytes, 14, 12, 4);
    Put(bytes, 18, header.width, 2);
    Put(bytes, 20, header.height, 2);
    Put(bytes, 22, 1, 2);
    Put(bytes, 24, header.bitsPerPixel, 2);
    for (size_t i = 0; i < pixelArray.size(); ++i) bytes[26 + i] = pixelArray[i];
    for (uint8_t& byte : bytes) byte = uint8_t(byte + 1);
    return bytes;
}

constexpr uint32_t W = kSkinWhite;
constexpr uint32_t kRed = SkinColour(0xFF, 0, 0);
constexpr uint32_t kGreen = SkinColour(0, 0xFF, 0);
constexpr uint32_t kBlue = SkinColour(0, 0, 0xFF);
constexpr uint32_t kGrey = SkinColour(0x10, 0x20, 0x30);

// A 2 x 2 picture, rows of 8 bytes (6 pixel bytes, 2 padding), bottom row first:
// top row red, green; bottom row blue, grey.
const std::vector<uint8_t> kTwoByTwo = {
    0xFF, 0, 0,    0x30, 0x20, 0x10, 0, 0,  // bottom: blue, grey
    0,    0, 0xFF, 0,    0xFF, 0,    0, 0,  // top: red, green
};
const Header kTwoByTwoHeader = {26 + 16, 26, 2, 2, 24};

TEST(SkinUnscramble, SubtractsOneFromEachByteOfTheGivenSteps) {
    struct Case {
        const char* name;
        std::vector<uint8_t> stored;
        long long steps;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {"0x00 wraps to 0xFF, 0x01 to 0x00", {0x00, 0x01, 0x80, 0xFF}, 1, {0xFF, 0x00, 0x7F, 0xFE}},
        {"only the given steps", {1, 1, 1, 1, 1, 1, 1, 1}, 1, {0, 0, 0, 0, 1, 1, 1, 1}},
        {"steps past the end stop at the end", {5, 6, 7, 8, 9, 10}, 67507, {4, 5, 6, 7, 8, 9}},
        {"no steps", {5, 6, 7, 8}, 0, {5, 6, 7, 8}},
        {"negative steps", {5, 6, 7, 8}, -3, {5, 6, 7, 8}},
        {"steps that overflow 32 bits", {5, 6}, 0x40000001LL, {4, 5}},
        {"empty", {}, 10, {}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = c.stored;
        UnscrambleSkin(bytes.data(), bytes.size(), c.steps);
        EXPECT_EQ(bytes, c.expected) << c.name;
    }
}

TEST(SkinDecode, PaintsBottomUpRowsAsColours) {
    const std::vector<uint8_t> stored = Stored(kTwoByTwoHeader, kTwoByTwo);
    const auto pixels = DecodeSkin(stored.data(), stored.size(), 2, 2, 11);
    ASSERT_TRUE(pixels.has_value());
    EXPECT_EQ(pixels->width, 2);
    EXPECT_EQ(pixels->height, 2);
    EXPECT_EQ(pixels->colours, (std::vector<uint32_t>{kRed, kGreen, kBlue, kGrey}));
    EXPECT_EQ(pixels->At(1, 1), kGrey);
}

TEST(SkinDecode, RefusesWhatHoldsNoHeaderOrNoBitmap) {
    const std::vector<uint8_t> whole = Stored(kTwoByTwoHeader, kTwoByTwo);
    struct Case {
        const char* name;
        size_t size;
        int width;
        int height;
    };
    const Case cases[] = {
        {"empty resource", 0, 2, 2},
        {"header cut short", 25, 2, 2},
        {"no width", whole.size(), 0, 2},
        {"negative height", whole.size(), 2, -1},
    };
    for (const Case& c : cases) {
        // A copy of exactly the given size, so that a read past it is caught by the sanitizer.
        const std::vector<uint8_t> stored(whole.begin(), whole.begin() + long(c.size));
        EXPECT_FALSE(DecodeSkin(stored.data(), stored.size(), c.width, c.height, 11).has_value())
            << c.name;
    }
    EXPECT_FALSE(DecodeSkin(nullptr, 40, 2, 2, 10).has_value());
}

// Every header lie ends in a picture drawn from the bytes present, white where none are.
TEST(SkinDecode, UntrustedHeadersDrawOnlyWhatExists) {
    struct Case {
        const char* name;
        Header header;
        std::vector<uint8_t> pixelArray;
        int width;
        int height;
        long long steps;
        std::vector<uint32_t> expected;  // width x height, top row first
    };
    const std::vector<uint8_t> bottomRowOnly(kTwoByTwo.begin(), kTwoByTwo.begin() + 8);
    const std::vector<uint8_t>& k2x2 = kTwoByTwo;
    // clang-format off
    const Case cases[] = {
        {"steps past the resource's end", kTwoByTwoHeader, k2x2, 2, 2, 67507, {kRed, kGreen, kBlue, kGrey}},
        {"steps covering only the header and 2 pixel bytes leave the rest scrambled", kTwoByTwoHeader, k2x2, 2, 2, 7,
         {SkinColour(0, 1, 1), SkinColour(1, 0, 1), SkinColour(1, 0, 0xFF), SkinColour(0x11, 0x21, 0x31)}},
        {"file size past the resource's end", {1000000, 26, 2, 2, 24}, bottomRowOnly, 2, 2, 9, {W, W, kBlue, kGrey}},
        {"pixel offset past the file size", {30, 0xFFFFFFFF, 2, 2, 24}, k2x2, 2, 2, 11, {W, W, W, W}},
        {"length covering one pixel and one byte", {26 + 4, 26, 2, 2, 24}, k2x2, 2, 2, 11, {W, W, kBlue, W}},
        {"pixel offset ignored for the start", {42 + 100, 100, 2, 2, 24}, k2x2, 2, 2, 11, {kRed, kGreen, kBlue, kGrey}},
        {"width promising longer rows", {42, 26, 1000, 2, 24}, k2x2, 2, 2, 11, {W, W, kBlue, kGrey}},
        {"height promising more rows", {42, 26, 2, 65535, 24}, k2x2, 2, 2, 11, {W, W, W, W}},
        {"largest width and bits per pixel", {42, 26, 65535, 2, 65535}, k2x2, 2, 2, 11, {W, W, kBlue, kGrey}},
        {"no bits per pixel: every row reads the first", {42, 26, 2, 2, 0}, k2x2, 2, 2, 11, {kBlue, kGrey, kBlue, kGrey}},
        {"empty picture", {42, 26, 0, 0, 24}, k2x2, 2, 2, 11, {W, W, W, W}},
        {"picture smaller than the bitmap", {42, 26, 1, 1, 24}, k2x2, 2, 2, 11, {kBlue, W, W, W}},
        {"picture larger than the bitmap is clipped", {42, 26, 2, 2, 24}, k2x2, 1, 1, 11, {kRed}},
        {"header only", {26, 26, 2, 2, 24}, {}, 2, 2, 7, {W, W, W, W}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const std::vector<uint8_t> stored = Stored(c.header, c.pixelArray);
        const auto pixels = DecodeSkin(stored.data(), stored.size(), c.width, c.height, c.steps);
        ASSERT_TRUE(pixels.has_value()) << c.name;
        EXPECT_EQ(pixels->colours, c.expected) << c.name;
    }
}

TEST(SkinHeader, ReadsLittleEndianFields) {
    const std::vector<uint8_t> stored = Stored({0x01020304, 0x0A0B0C0D, 300, 38, 24}, {});
    std::vector<uint8_t> bytes = stored;
    UnscrambleSkin(bytes.data(), bytes.size(), 7);
    const auto header = ReadStoredHeader(bytes.data(), bytes.size());
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->fileSize, 0x01020304u);
    EXPECT_EQ(header->pixelOffset, 0x0A0B0C0Du);
    EXPECT_EQ(header->width, 300);
    EXPECT_EQ(header->height, 38);
    EXPECT_EQ(header->bitsPerPixel, 24);
    EXPECT_EQ(SkinRowStride(24, 300), 900u);
    EXPECT_EQ(SkinRowStride(24, 75), 228u);
    EXPECT_EQ(SkinRowStride(65535, 65535), 536854532u);
}

}  // namespace
