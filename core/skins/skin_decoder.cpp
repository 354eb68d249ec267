#include "core/skins/skin_decoder.h"

#include <algorithm>

namespace {

uint16_t ReadUint16(const uint8_t* bytes) {
    return uint16_t(bytes[0] | bytes[1] << 8);
}

uint32_t ReadUint32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

}  // namespace

void UnscrambleSkin(uint8_t* bytes, size_t size, long long steps) {
    if (steps <= 0) return;
    // Compared in 64 bits: steps * 4 overflows a 32-bit size_t.
    const uint64_t wanted = uint64_t(steps) * 4;
    const size_t count = wanted < uint64_t(size) ? size_t(wanted) : size;
    for (size_t i = 0; i < count; ++i) bytes[i] = uint8_t(bytes[i] - 1);
}

std::optional<StoredPictureHeader> ReadStoredHeader(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size < kStoredHeaderSize) return std::nullopt;
    StoredPictureHeader header;
    header.fileSize = ReadUint32(bytes + 2);
    header.pixelOffset = ReadUint32(bytes + 10);
    header.width = ReadUint16(bytes + 18);
    header.height = ReadUint16(bytes + 20);
    header.bitsPerPixel = ReadUint16(bytes + 24);
    return header;
}

uint64_t SkinRowStride(uint16_t bitsPerPixel, uint16_t width) {
    return (uint64_t(bitsPerPixel) * width + 31) / 32 * 4;
}

std::optional<SkinPixels> DecodeSkin(const uint8_t* stored, size_t size, int width, int height,
                                     long long steps) {
    if (width <= 0 || height <= 0) return std::nullopt;
    if (stored == nullptr || size < kStoredHeaderSize) return std::nullopt;

    std::vector<uint8_t> bytes(stored, stored + size);
    UnscrambleSkin(bytes.data(), bytes.size(), steps);
    const StoredPictureHeader header = *ReadStoredHeader(bytes.data(), bytes.size());

    // A pixel offset past the file size would wrap to a huge length: no pixels instead.
    const uint64_t claimed =
        header.fileSize >= header.pixelOffset ? header.fileSize - header.pixelOffset : 0;
    const uint64_t length = std::min<uint64_t>(claimed, size - kStoredHeaderSize);
    const uint8_t* const pixelArray = bytes.data() + kStoredHeaderSize;
    const uint64_t stride = SkinRowStride(header.bitsPerPixel, header.width);

    SkinPixels picture;
    picture.width = width;
    picture.height = height;
    picture.colours.assign(size_t(width) * size_t(height), kSkinWhite);

    // Rows and columns past the fixed size would be clipped when drawn: they are not walked.
    const int rows = std::min<int>(header.height, height);
    const int columns = std::min<int>(header.width, width);
    for (int y = 0; y < rows; ++y) {
        const uint64_t rowStart = uint64_t(header.height - 1 - y) * stride;
        uint32_t* const target = picture.colours.data() + size_t(y) * size_t(width);
        for (int x = 0; x < columns; ++x) {
            const uint64_t at = rowStart + uint64_t(x) * 3;
            if (at + 3 > length) break;  // later pixels of the row lie further out still
            const uint8_t* pixel = pixelArray + at;
            target[x] = SkinColour(pixel[2], pixel[1], pixel[0]);
        }
    }
    return picture;
}
