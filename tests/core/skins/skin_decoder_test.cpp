#include "core/skins/skin_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using Bytes = std::vector<uint8_t>;

struct Header {
    uint32_t fileSize, pixelOffset;
    uint16_t width, height, bitsPerPixel;
};

// A stored resource: the 26 header bytes, then the pixel array as given, all scrambled.
Bytes Stored(const Header& header, const Bytes& pixelArray) {
    // Little-endian fields: file size, reserved, pixel offset, header size 12, width, height,
    // one plane, bits per pixel.
    // clang-format off
    const std::pair<uint32_t, int> fields[] = {{header.fileSize, 4}, {0, 4}, {header.pixelOffset, 4}, {12, 4},
                                               {header.width, 2}, {header.height, 2}, {1, 2}, {header.bitsPerPixel, 2}};
    // clang-format on
    Bytes bytes = {'B', 'M'};
    for (const auto& [value, size] : fields) {
        for (int i = 0; i < size; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
    }
    bytes.insert(bytes.end(), pixelArray.begin(), pixelArray.end());
    for (uint8_t& byte : bytes) byte = uint8_t(byte + 1);
    return bytes;
}

constexpr uint32_t W = kSkinWhite, kRed = SkinColour(0xFF, 0, 0), kGreen = SkinColour(0, 0xFF, 0),
                   kBlue = SkinColour(0, 0, 0xFF), kGrey = SkinColour(0x10, 0x20, 0x30);

// A 2 x 2 picture, rows of 8 bytes (6 pixel bytes, 2 padding) stored bottom row first, each
// pixel blue, green, red: top row red, green; bottom row blue, grey.
// clang-format off
const Bytes k2x2 = {0xFF, 0, 0, 0x30, 0x20, 0x10, 0, 0,
                    0, 0, 0xFF, 0, 0xFF, 0, 0, 0};
// clang-format on

TEST(SkinDecoder, UnscrambleSubtractsOneFromTheBytesOfTheGivenSteps) {
    // Stored bytes, steps, unscrambled bytes.
    // clang-format off
    const std::tuple<Bytes, long long, Bytes> cases[] = {
        {{0x00, 0x01, 0x80, 0xFF}, 1, {0xFF, 0x00, 0x7F, 0xFE}}, {{1, 1, 1, 1, 1, 1, 1, 1}, 1, {0, 0, 0, 0, 1, 1, 1, 1}},
        {{5, 6, 7, 8, 9, 10}, 67507, {4, 5, 6, 7, 8, 9}}, {{5, 6, 7, 8}, 0, {5, 6, 7, 8}}, {{5, 6, 7, 8}, -3, {5, 6, 7, 8}},
        {{5, 6}, 0x40000001LL, {4, 5}}, {Bytes{}, 10, Bytes{}}};  // steps * 4 overflows 32 bits, none
    // clang-format on
    for (const auto& [stored, steps, expected] : cases) {
        Bytes bytes = stored;
        UnscrambleSkin(bytes.data(), bytes.size(), steps);
        EXPECT_EQ(bytes, expected) << steps;
    }
}

// The header's fields are little-endian; a resource without a whole header, or a bitmap without
// a size, gives nothing.
TEST(SkinDecoder, HeaderFieldsAndWhatHoldsNoPicture) {
    Bytes bytes = Stored({0x01020304, 0x0A0B0C0D, 300, 38, 24}, {});
    UnscrambleSkin(bytes.data(), bytes.size(), 7);
    const auto header = ReadStoredHeader(bytes.data(), bytes.size());
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(std::make_tuple(header->fileSize, header->pixelOffset, header->width, header->height,
                              header->bitsPerPixel),
              std::make_tuple(0x01020304u, 0x0A0B0C0Du, uint16_t{300}, uint16_t{38}, uint16_t{24}));
    EXPECT_FALSE(ReadStoredHeader(bytes.data(), 25));
    const Bytes whole = Stored({42, 26, 2, 2, 24}, k2x2);
    const std::tuple<size_t, int, int> cases[] = {
        {0, 2, 2}, {25, 2, 2}, {whole.size(), 0, 2}, {whole.size(), 2, -1}};
    for (const auto& [size, width, height] : cases) {
        // A copy of exactly that size, so that a read past it is caught by the sanitizer.
        const Bytes stored(whole.begin(), whole.begin() + long(size));
        EXPECT_FALSE(DecodeSkin(stored.data(), size, width, height, 11)) << size;
    }
    EXPECT_FALSE(DecodeSkin(nullptr, 40, 2, 2, 10));
}

// The header is not trusted: whatever it claims, the picture is drawn from the bytes present,
// white where there are none.
TEST(SkinDecoder, PaintsBottomUpRowsFromOnlyTheBytesPresent) {
    const Bytes bottomRow(k2x2.begin(), k2x2.begin() + 8);
    // Header, pixel array, bitmap width and height, steps; the colours, top row first.
    // clang-format off
    const std::tuple<const char*, Header, Bytes, int, int, long long, std::vector<uint32_t>> cases[] = {
        {"honest", {42, 26, 2, 2, 24}, k2x2, 2, 2, 11, {kRed, kGreen, kBlue, kGrey}},
        {"steps covering the header and 2 pixel bytes", {42, 26, 2, 2, 24}, k2x2, 2, 2, 7,
         {SkinColour(0, 1, 1), SkinColour(1, 0, 1), SkinColour(1, 0, 0xFF), SkinColour(0x11, 0x21, 0x31)}},
        {"file size past the resource's end", {1000000, 26, 2, 2, 24}, bottomRow, 2, 2, 9, {W, W, kBlue, kGrey}},
        {"pixel offset past the file size", {30, 0xFFFFFFFF, 2, 2, 24}, k2x2, 2, 2, 11, {W, W, W, W}},
        {"array of exactly one pixel", {26 + 3, 26, 2, 2, 24}, k2x2, 2, 2, 11, {W, W, kBlue, W}},
        {"array of one pixel and one byte", {26 + 4, 26, 2, 2, 24}, k2x2, 2, 2, 11, {W, W, kBlue, W}},
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
    for (const auto& [what, header, pixelArray, width, height, steps, expected] : cases) {
        const Bytes stored = Stored(header, pixelArray);
        const auto pixels = DecodeSkin(stored.data(), stored.size(), width, height, steps);
        ASSERT_TRUE(pixels.has_value()) << what;
        EXPECT_EQ(std::make_tuple(pixels->width, pixels->height, pixels->colours),
                  std::make_tuple(width, height, expected))
            << what;
    }
}

}  // namespace
