#include "led/colour_scaling.h"

namespace led {

namespace {

// 2^63 as a float; anything at or beyond it in magnitude would not fit an int64_t.
constexpr float kInt64Limit = 9223372036854775808.0f;

}  // namespace

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

ShadedColour ShadeColour(int32_t shade, int32_t red, int32_t green, int32_t blue) {
    return {ScaleColour(red, shade), ScaleColour(green, shade), ScaleColour(blue, shade)};
}

}  // namespace led
