#include "led/led_codes.h"

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

}  // namespace led
