#include "core/led/led_blocks.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

// The same arithmetic done another way: each step in double precision, then rounded to single.
// Sums, products and quotients of floats computed in double and rounded once to float give the
// correctly rounded float result, so this matches true single-precision steps.
uint8_t ReferenceScale(int32_t value, int32_t shade) {
    const float v = static_cast<float>(static_cast<double>(value));
    const float remaining = static_cast<float>(100.0 - static_cast<double>(shade));
    const float quotient = static_cast<float>(static_cast<double>(v) / 100.0);
    const float product = static_cast<float>(static_cast<double>(quotient) * remaining);
    const double sum = static_cast<double>(static_cast<float>(static_cast<double>(product) + 0.5));
    const int64_t whole = static_cast<int64_t>(sum);  // every int32 input stays far inside int64
    return static_cast<uint8_t>(static_cast<uint64_t>(whole) & 0xFF);
}

TEST(ColourScaling, EveryComponentAtEveryShadeMatchesSinglePrecisionSteps) {
    for (int32_t shade = 0; shade <= 100; ++shade) {
        for (int32_t value = 0; value <= 255; ++value) {
            ASSERT_EQ(led::ScaleColour(value, shade), ReferenceScale(value, shade))
                << "value " << value << " shade " << shade;
        }
    }
}

// Against exact arithmetic: v * (100 - s) / 100 rounded half up, except that single precision
// may land just below an exact half and round it down.
TEST(ColourScaling, DiffersFromExactRoundingOnlyJustBelowAHalf) {
    int loweredHalves = 0;
    for (int32_t shade = 0; shade <= 100; ++shade) {
        for (int32_t value = 0; value <= 255; ++value) {
            const int32_t hundredths = value * (100 - shade);
            const int32_t halfUp = (hundredths + 50) / 100;
            const bool exactHalf = hundredths % 100 == 50;
            const int32_t sent = led::ScaleColour(value, shade);
            if (sent != halfUp) {
                ASSERT_TRUE(exactHalf && sent == halfUp - 1)
                    << "value " << value << " shade " << shade;
                ++loweredHalves;
            }
        }
    }
    EXPECT_GT(loweredHalves, 0);
}

// Out-of-range input keeps the same arithmetic and sends the low 8 bits; far out of range it
// must still never reach an undefined float-to-integer conversion (the sanitizer run checks).
TEST(ColourScaling, OutOfRangeInputGivesLowBitsOfTheSameArithmetic) {
    struct Case {
        int32_t value, shade;
        uint8_t expected;
    };
    const Case literal[] = {
        {300, 0, 44},       // 300 & 0xFF
        {256, 0, 0},        // 256 & 0xFF
        {255, 150, 0x81},   // -127.0 cut to -127
        {-1, 0, 0},         // -0.5000001 cut towards zero
        {-100, 0, 0x9D},    // -99.5 cut to -99
        {255, -100, 0xFE},  // 510.5 -> 510
    };
    for (const Case& c : literal) {
        EXPECT_EQ(led::ScaleColour(c.value, c.shade), c.expected)
            << "value " << c.value << " shade " << c.shade;
    }
    const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -1000000, -256,          -1,       0,
                                101,       256,           1000000,  INT32_MAX - 1, INT32_MAX};
    for (int32_t value : extremes) {
        for (int32_t shade : extremes) {
            EXPECT_EQ(led::ScaleColour(value, shade), ReferenceScale(value, shade))
                << "value " << value << " shade " << shade;
        }
    }
    for (int32_t shade = -300; shade <= 300; shade += 7) {
        for (int32_t value = -600; value <= 600; value += 11) {
            ASSERT_EQ(led::ScaleColour(value, shade), ReferenceScale(value, shade))
                << "value " << value << " shade " << shade;
        }
    }
}

}  // namespace
