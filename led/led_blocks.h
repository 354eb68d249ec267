// The data blocks the LED controller takes, built from the user's settings. The first byte of
// each is the board's command byte, which stands in for a register address.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "led/led_settings.h"

namespace led {

constexpr size_t kBlock2000Size = 8;
constexpr size_t kBlock3000Size = 42;
constexpr size_t kProbeBufferSize = 8;

using Block2000 = std::array<uint8_t, kBlock2000Size>;
using Block3000 = std::array<uint8_t, kBlock3000Size>;
using ProbeBuffer = std::array<uint8_t, kProbeBufferSize>;

// Family 2000: colour with the on/off byte.
Block2000 ColourBlock2000(uint8_t commandByte, int32_t on, int32_t shade, int32_t red,
                          int32_t green, int32_t blue);
// Family 2000: mode with the colour again.
Block2000 ModeBlock2000(uint8_t commandByte, int32_t mode, int32_t shade, int32_t red,
                        int32_t green, int32_t blue);
// Family 3000: everything in one block; `mode`, `interval` and `brightness` are list positions.
Block3000 SettingsBlock3000(uint8_t commandByte, const LedSettings& settings);
// What the template probe reads into: the command byte, then zeros.
ProbeBuffer MakeProbeBuffer(uint8_t commandByte);

}  // namespace led
