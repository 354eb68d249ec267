// Turns a picture as stored in the resources (scrambled bitmap file with the 12-byte core
// header, 24-bit bottom-up rows) into the grid of colours that is painted into a bitmap of
// fixed size. Plain data work, so it is tested natively and fuzzed.
//
// The stored header is not trusted. Whatever it says, nothing is read outside the stored bytes:
// - a resource shorter than its step count promises is unscrambled only as far as it goes;
// - the pixel array is what both the header (file size - pixel offset) and the resource hold:
//   a pixel offset past the file size gives an empty array, a file size past the resource's
//   end is cut to the bytes present;
// - a pixel whose 3 bytes are not all in the array stays white; so does every pixel the
//   header's width and height do not reach; pixels beyond the fixed size are clipped.
// Only a resource too short to hold the 26 header bytes cannot be loaded at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Colours are the window system's 0x00BBGGRR values.
constexpr uint32_t kSkinWhite = 0x00FFFFFF;

constexpr uint32_t SkinColour(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t(red) | uint32_t(green) << 8 | uint32_t(blue) << 16;
}

// Where the pixel array starts, whatever the header's pixel offset says.
constexpr size_t kStoredHeaderSize = 26;

struct StoredPictureHeader {
    uint32_t fileSize = 0;
    uint32_t pixelOffset = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t bitsPerPixel = 0;
};

struct SkinPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> colours;  // row by row from the top, width * height

    uint32_t At(int x, int y) const { return colours[size_t(y) * size_t(width) + size_t(x)]; }
};

// Each of the first steps * 4 bytes, but no more than there are, becomes b - 1 modulo 256.
void UnscrambleSkin(uint8_t* bytes, size_t size, long long steps);

// The fields of the header, or nothing when the bytes cannot hold it.
std::optional<StoredPictureHeader> ReadStoredHeader(const uint8_t* bytes, size_t size);

// Row stride in bytes: each row padded to a multiple of 4.
uint64_t SkinRowStride(uint16_t bitsPerPixel, uint16_t width);

// The picture painted into a width x height bitmap; nothing when the resource holds no whole
// header or the bitmap size is not positive.
std::optional<SkinPixels> DecodeSkin(const uint8_t* stored, size_t size, int width, int height,
                                     long long steps);
