#include "led/led_blocks.h"

#include "led/colour_scaling.h"
#include "led/led_codes.h"

namespace led {

namespace {

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
