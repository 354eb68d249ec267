#include "core/led/led_blocks.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

using Bytes = std::vector<uint8_t>;

// The same arithmetic done another way: each step in double precision, then rounded to single.
// One sum, product or quotient of floats done in double and rounded once to float gives the
// correctly rounded float result, so this matches true single-precision steps.
uint8_t ReferenceScale(int32_t value, int32_t shade) {
    const float v = static_cast<float>(static_cast<double>(value));
    const float remaining = static_cast<float>(100.0 - static_cast<double>(shade));
    const float quotient = static_cast<float>(static_cast<double>(v) / 100.0);
    const float product = static_cast<float>(static_cast<double>(quotient) * remaining);
    const double sum = static_cast<double>(static_cast<float>(static_cast<double>(product) + 0.5));
    return static_cast<uint8_t>(static_cast<uint64_t>(static_cast<int64_t>(sum)) & 0xFF);
}

TEST(ColourScaling, EveryComponentAtEveryShadeMatchesSinglePrecisionSteps) {
    for (int32_t shade = 0; shade <= 100; ++shade) {
        for (int32_t value = 0; value <= 255; ++value) {
            const int32_t sent = led::ScaleColour(value, shade);
            ASSERT_EQ(sent, ReferenceScale(value, shade)) << value << " at " << shade;
            // Exact arithmetic rounds half up; single precision may only land just below a half.
            const int32_t hundredths = value * (100 - shade);
            const int32_t lowered = (hundredths + 50) / 100 - sent;
            ASSERT_TRUE(lowered == 0 || (lowered == 1 && hundredths % 100 == 50));
        }
    }
    // Value, shade, byte sent: single precision just below the half, then out of range, where
    // the same arithmetic runs and the low 8 bits are sent.
    // clang-format off
    const int32_t literal[][3] = {{53, 50, 26}, {130, 5, 123}, {42, 25, 31}, {3, 50, 2}, {1, 50, 1}, {255, 0, 255},
                                  {200, 100, 0}, {300, 0, 44}, {256, 0, 0}, {255, 150, 0x81}, {-1, 0, 0},
                                  {-100, 0, 0x9D}, {-256, 0, 1}, {255, -100, 0xFE}};
    // clang-format on
    for (const auto& c : literal)
        EXPECT_EQ(led::ScaleColour(c[0], c[1]), c[2]) << c[0] << "@" << c[1];
    // Far out of range never reaches an undefined conversion (the sanitizer run checks).
    for (int32_t value : {INT32_MIN, INT32_MIN + 1, -1000000, -256, 101, 1000000, INT32_MAX}) {
        for (int32_t shade : {INT32_MIN, -1000000, -1, 0, 101, 256, INT32_MAX - 1, INT32_MAX}) {
            EXPECT_EQ(led::ScaleColour(value, shade), ReferenceScale(value, shade))
                << value << " at " << shade;
        }
    }
}

TEST(LedCodes, EveryListPositionAndEveryOutOfRangeValueAndTheProbe) {
    // clang-format off
    const std::pair<uint8_t (*)(int32_t), std::vector<std::pair<int32_t, uint8_t>>> cases[] = {
        {led::ModeCode2000, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 0}, {7, 0}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}}},
        {led::ModeCode3000, {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 0}, {7, 0}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}}},
        {led::IntervalCode3000, {{0, 3}, {1, 2}, {2, 0}, {3, 0}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}}},
        {led::BrightnessCode3000, {{0, 3}, {1, 2}, {2, 1}, {3, 0}, {4, 0}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}}},
        {led::FlagByte, {{1, 1}, {0, 0}, {2, 0}, {-1, 0}, {INT32_MIN, 0}}},
    };
    // clang-format on
    for (size_t table = 0; table < std::size(cases); ++table) {
        for (const auto& [argument, expected] : cases[table].second) {
            EXPECT_EQ(cases[table].first(argument), expected)
                << "table " << table << ", " << argument;
        }
    }
    const led::ProbeBuffer probe = led::MakeProbeBuffer(0xA0);  // the command byte, then zeros
    EXPECT_EQ(Bytes(probe.begin(), probe.end()), (Bytes{0xA0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
