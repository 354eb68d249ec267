// The bytes the LED controller takes: what each list position and radio button means on the
// wire, the colour scaled by the shade, and the data blocks built from the user's settings. The
// first byte of each block is the board's command byte, which stands in for a register address.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/led/led_settings.h"

namespace led {

// Codes. Values outside a table send 0.
// Family 2000 takes its wire code directly: 0 STATIC, 1 STROBING, 2 COLOR CYCLE, 3 BREATHING,
// 4 WAVE.
uint8_t ModeCode2000(int32_t mode);
// Family 3000 takes the list position: STATIC, FLASH, BREATHING, WAVE, GLOWING -> 0, 1, 3, 4, 5.
uint8_t ModeCode3000(int32_t mode);
// Blink interval short, medium, long -> 3, 2, 0.
uint8_t IntervalCode3000(int32_t interval);
// Brightness 100 %, 75 %, 50 %, 25 % -> 3, 2, 1, 0.
uint8_t BrightnessCode3000(int32_t brightness);
// The on/off and cycle bytes: 1 only for exactly 1.
uint8_t FlagByte(int32_t flag);

// One colour component v shaded by s: (v / 100 * (100 - s) + 0.5) with the fraction cut off,
// every step rounded to single precision exactly as the boards' firmware was tuned against.
// Only the low 8 bits are sent. Components and shades outside 0-255 / 0-100 still give a
// defined byte: the float is cut to a 64-bit integer (every int32 input lands well inside its
// range) and its low 8 bits are taken.
uint8_t ScaleColour(int32_t value, int32_t shade);

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
