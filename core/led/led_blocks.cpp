#include "core/led/led_blocks.h"

namespace led {

namespace {

template <int32_t N>
uint8_t Lookup(const uint8_t (&codes)[N], int32_t position) {
    return position >= 0 && position < N ? codes[position] : 0;
}

constexpr uint8_t kModeCodes2000[] = {0, 1, 2, 3, 4};
constexpr uint8_t kModeCodes3000[] = {0, 1, 3, 4, 5};
constexpr uint8_t kIntervalCodes3000[] = {3, 2, 0};
constexpr uint8_t kBrightnessCodes3000[] = {3, 2, 1, 0};

// 2^63 as a float; anything at or beyond it in magnitude would not fit an int64_t.
constexpr float kInt64Limit = 9223372036854775808.0f;

struct ShadedColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

ShadedColour ShadeColour(int32_t shade, int32_t red, int32_t green, int32_t blue) {
    return {ScaleColour(red, shade), ScaleColour(green, shade), ScaleColour(blue, shade)};
}

constexpr uint8_t kColourBlockMarker2000 = 0xFC;
constexpr uint8_t kModeBlockMarker2000 = 0x00;
constexpr uint8_t kBlockMarker3000 = 0x01;
// Bytes 6 and 7 of both family-2000 blocks: 0x0400, low byte first.
constexpr uint8_t kTrailerLow2000 = 0x00;
constexpr uint8_t kTrailerHigh2000 = 0x04;
// Ten leading bytes, then eight groups of colour and interval code.
constexpr size_t kHeader3000 = 10;
constexpr size_t kGroups3000 = 8;
constexpr size_t kGroupSize3000 = 4;
static_assert(kHeader3000 + kGroups3000 * kGroupSize3000 == kBlock3000Size, "block layout");

Block2000 Block2000With(uint8_t commandByte, uint8_t marker, uint8_t setting, int32_t shade,
                        int32_t red, int32_t green, int32_t blue) {
    const ShadedColour colour = ShadeColour(shade, red, green, blue);
    return {commandByte,  marker,      setting,         colour.red,
            colour.green, colour.blue, kTrailerLow2000, kTrailerHigh2000};
}

}  // namespace

uint8_t ModeCode2000(int32_t mode) {
    return Lookup(kModeCodes2000, mode);
}
uint8_t ModeCode3000(int32_t mode) {
    return Lookup(kModeCodes3000, mode);
}
uint8_t IntervalCode3000(int32_t interval) {
    return Lookup(kIntervalCodes3000, interval);
}
uint8_t BrightnessCode3000(int32_t brightness) {
    return Lookup(kBrightnessCodes3000, brightness);
}
uint8_t FlagByte(int32_t flag) {
    return flag == 1 ? 1 : 0;
}

uint8_t ScaleColour(int32_t value, int32_t shade) {
    // 100 - shade in 64 bits: a shade near INT32_MIN must not overflow before the conversion.
    const int64_t remaining = 100 - static_cast<int64_t>(shade);
    const float quotient = static_cast<float>(value) / 100.0f;
    const float product = quotient * static_cast<float>(remaining);
    const float rounded = product + 0.5f;
    // |rounded| stays below 2^56 for every int32 input; the check keeps the conversion defined
    // should that ever change.
    if (!(rounded > -kInt64Limit && rounded < kInt64Limit)) return 0;
    return static_cast<uint8_t>(static_cast<uint64_t>(static_cast<int64_t>(rounded)) & 0xFFu);
}

Block2000 ColourBlock2000(uint8_t commandByte, int32_t on, int32_t shade, int32_t red,
                          int32_t green, int32_t blue) {
    return Block2000With(commandByte, kColourBlockMarker2000, FlagByte(on), shade, red, green,
                         blue);
}

Block2000 ModeBlock2000(uint8_t commandByte, int32_t mode, int32_t shade, int32_t red,
                        int32_t green, int32_t blue) {
    return Block2000With(commandByte, kModeBlockMarker2000, ModeCode2000(mode), shade, red, green,
                         blue);
}

Block3000 SettingsBlock3000(uint8_t commandByte, const LedSettings& settings) {
    const ShadedColour colour =
        ShadeColour(settings.shade, settings.red, settings.green, settings.blue);
    const uint8_t interval = IntervalCode3000(settings.interval);
    Block3000 block{};
    block[0] = commandByte;
    block[1] = kBlockMarker3000;
    block[2] = FlagByte(settings.on);
    block[3] = ModeCode3000(settings.mode);
    block[4] = colour.red;
    block[5] = colour.green;
    block[6] = colour.blue;
    block[7] = FlagByte(settings.cycle);
    block[8] = interval;
    block[9] = BrightnessCode3000(settings.brightness);
    for (size_t group = 0; group < kGroups3000; ++group) {
        const size_t at = kHeader3000 + group * kGroupSize3000;
        block[at] = colour.red;
        block[at + 1] = colour.green;
        block[at + 2] = colour.blue;
        block[at + 3] = interval;
    }
    return block;
}

ProbeBuffer MakeProbeBuffer(uint8_t commandByte) {
    ProbeBuffer buffer{};
    buffer[0] = commandByte;
    return buffer;
}

}  // namespace led
