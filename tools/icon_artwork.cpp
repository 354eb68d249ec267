#include "tools/icon_artwork.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSubsamples = 4;  // per axis, for the ring's smooth edge

void PutUint16(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.push_back(uint8_t(value));
    bytes.push_back(uint8_t(value >> 8));
}

void PutUint32(std::vector<uint8_t>& bytes, uint32_t value) {
    PutUint16(bytes, value & 0xFFFF);
    PutUint16(bytes, value >> 16);
}

size_t MaskStride(int size) {
    return size_t((size + 31) / 32) * 4;
}

}  // namespace

uint32_t RingHue(double angle) {
    double sectors = angle * 3.0 / kPi;
    if (sectors < 0) sectors += 6.0;
    const double between = 1.0 - std::fabs(std::fmod(sectors, 2.0) - 1.0);
    const double channels[6][3] = {{1, between, 0}, {between, 1, 0}, {0, 1, between},
                                   {0, between, 1}, {between, 0, 1}, {1, 0, between}};
    const double* rgb = channels[int(sectors) % 6];
    auto byte = [](double unit) { return uint32_t(std::lround(unit * 255.0)); };
    return byte(rgb[0]) << 16 | byte(rgb[1]) << 8 | byte(rgb[2]);
}

IconImage DrawRingIcon(int size) {
    IconImage image;
    image.size = size;
    image.pixels.resize(size_t(size) * size_t(size));
    const double centre = size / 2.0;
    const double outer = size / 2.0 - 0.5;
    const double inner = size * kRingInner;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int covered = 0;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const double px = x + (sx + 0.5) / kSubsamples - centre;
                    const double py = y + (sy + 0.5) / kSubsamples - centre;
                    const double distance = std::sqrt(px * px + py * py);
                    if (distance <= outer && distance >= inner) ++covered;
                }
            }
            const uint32_t alpha = uint32_t(covered * 255 + kSubsamples * kSubsamples / 2) /
                                   (kSubsamples * kSubsamples);
            const double angle = std::atan2(centre - (y + 0.5), x + 0.5 - centre);
            image.pixels[size_t(y) * size_t(size) + size_t(x)] =
                alpha == 0 ? 0 : alpha << 24 | RingHue(angle);
        }
    }
    return image;
}

std::vector<uint8_t> EncodeIconFile(const std::vector<IconImage>& images) {
    constexpr uint32_t kDirectorySize = 6, kEntrySize = 16, kInfoHeaderSize = 40;
    std::vector<uint8_t> bytes;
    PutUint16(bytes, 0);  // reserved
    PutUint16(bytes, 1);  // icon, not cursor
    PutUint16(bytes, uint32_t(images.size()));

    uint32_t offset = kDirectorySize + kEntrySize * uint32_t(images.size());
    for (const IconImage& image : images) {
        const uint32_t pixelBytes = uint32_t(image.size * image.size * 4);
        const uint32_t maskBytes = uint32_t(MaskStride(image.size) * size_t(image.size));
        const uint32_t imageBytes = kInfoHeaderSize + pixelBytes + maskBytes;
        bytes.push_back(uint8_t(image.size));
        bytes.push_back(uint8_t(image.size));
        bytes.push_back(0);    // no palette
        bytes.push_back(0);    // reserved
        PutUint16(bytes, 1);   // planes
        PutUint16(bytes, 32);  // bits per pixel
        PutUint32(bytes, imageBytes);
        PutUint32(bytes, offset);
        offset += imageBytes;
    }

    for (const IconImage& image : images) {
        const int size = image.size;
        PutUint32(bytes, kInfoHeaderSize);
        PutUint32(bytes, uint32_t(size));
        PutUint32(bytes, uint32_t(size * 2));  // colour image and mask, one above the other
        PutUint16(bytes, 1);
        PutUint16(bytes, 32);
        PutUint32(bytes, 0);  // uncompressed
        PutUint32(bytes, uint32_t(size * size * 4) + uint32_t(MaskStride(size) * size_t(size)));
        for (int i = 0; i < 4; ++i) PutUint32(bytes, 0);  // resolution and palette counts
        // Rows bottom-up, as every bitmap in an icon file.
        for (int y = size - 1; y >= 0; --y)
            for (int x = 0; x < size; ++x) PutUint32(bytes, image.pixels[size_t(y * size + x)]);
        for (int y = size - 1; y >= 0; --y) {
            std::vector<uint8_t> row(MaskStride(size), 0);
            for (int x = 0; x < size; ++x)
                if (image.pixels[size_t(y * size + x)] >> 24 == 0)
                    row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
            bytes.insert(bytes.end(), row.begin(), row.end());
        }
    }
    return bytes;
}
