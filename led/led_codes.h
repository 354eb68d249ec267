// What each list position and radio button means on the wire. Values outside a table send 0.
#pragma once

#include <cstdint>

namespace led {

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

}  // namespace led
