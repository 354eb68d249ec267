#include "tools/stored_picture.h"

#include <stdexcept>

#include "core/skins/skin_decoder.h"

namespace {

void PutUint16(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    bytes[at] = uint8_t(value);
    bytes[at + 1] = uint8_t(value >> 8);
}

void PutUint32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    PutUint16(bytes, at, value & 0xFFFF);
    PutUint16(bytes, at + 2, value >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeCoreBitmap(const Picture& picture, size_t storedSize) {
    const size_t stride = size_t(SkinRowStride(24, uint16_t(picture.width)));
    const size_t contentSize = kStoredHeaderSize + stride * size_t(picture.height);
    if (contentSize > storedSize || storedSize % 4 != 0)
        throw std::invalid_argument("stored size does not fit the picture in whole steps");

    std::vector<uint8_t> bytes(storedSize, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutUint32(bytes, 2, uint32_t(storedSize));
    PutUint32(bytes, 10, uint32_t(kStoredHeaderSize));  // no palette: pixels follow the header
    PutUint32(bytes, 14, 12);                           // core header size
    PutUint16(bytes, 18, uint32_t(picture.width));
    PutUint16(bytes, 20, uint32_t(picture.height));
    PutUint16(bytes, 22, 1);   // planes
    PutUint16(bytes, 24, 24);  // bits per pixel
    for (int row = 0; row < picture.height; ++row) {
        // The first stored row is the bottom one.
        const int y = picture.height - 1 - row;
        uint8_t* out = bytes.data() + kStoredHeaderSize + size_t(row) * stride;
        for (int x = 0; x < picture.width; ++x) {
            const Rgb& pixel = picture.At(x, y);
            *out++ = pixel.blue;
            *out++ = pixel.green;
            *out++ = pixel.red;
        }
    }
    return bytes;
}

void ScrambleSkin(std::vector<uint8_t>& bytes) {
    for (uint8_t& byte : bytes) byte = uint8_t(byte + 1);
}
