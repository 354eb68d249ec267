// Feeds arbitrary stored pictures to the skin decoder. Input: bitmap width + 8, bitmap
// height + 8 (one byte each), the step count (signed 16 bits, little-endian), then the resource.
#include <cstddef>
#include <cstdint>

#include "core/skins/skin_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const int width = int(data[0]) - 8;
    const int height = int(data[1]) - 8;
    const long long steps = int16_t(uint16_t(data[2] | data[3] << 8));
    const uint8_t* resource = data + 4;
    const size_t resourceSize = size - 4;

    const auto pixels = DecodeSkin(resource, resourceSize, width, height, steps);
    const bool loadable = width > 0 && height > 0 && resourceSize >= kStoredHeaderSize;
    if (pixels.has_value() != loadable) __builtin_trap();
    if (pixels && pixels->colours.size() != size_t(width) * size_t(height)) __builtin_trap();
    if (pixels) {
        for (uint32_t colour : pixels->colours)
            if (colour > 0x00FFFFFF) __builtin_trap();
    }
    return 0;
}
