#include "tools/png_file.h"

#include <zlib.h>

#include <stdexcept>
#include <string>

namespace {

void PutBigEndian32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(value >> shift));
}

// Length, type, data, and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& file, const char (&type)[5], const std::vector<uint8_t>& data) {
    PutBigEndian32(file, uint32_t(data.size()));
    const size_t typeAt = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, file.data() + typeAt, uInt(file.size() - typeAt));
    PutBigEndian32(file, uint32_t(crc));
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), uLong(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib cannot compress the icon's pixels");
    packed.resize(size);
    return packed;
}

}  // namespace

std::vector<uint8_t> EncodePngFile(const IconImage& image) {
    const uint32_t size = uint32_t(image.size);
    std::vector<uint8_t> header;
    PutBigEndian32(header, size);                  // width
    PutBigEndian32(header, size);                  // height
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace

    std::vector<uint8_t> raw;
    raw.reserve(size_t(size) * (size_t(size) * 4 + 1));
    for (uint32_t y = 0; y < size; ++y) {
        raw.push_back(0);  // the row's filter: none
        for (uint32_t x = 0; x < size; ++x) {
            const uint32_t argb = image.pixels[size_t(y) * size + x];
            raw.insert(raw.end(), {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb),
                                   uint8_t(argb >> 24)});
        }
    }

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", Compress(raw));
    PutChunk(file, "IEND", {});
    return file;
}
