#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/led/led_blocks.h"

namespace {

using Bytes = std::vector<uint8_t>;

template <size_t N>
Bytes ToBytes(const std::array<uint8_t, N>& block) {
    return Bytes(block.begin(), block.end());
}

TEST(LedCodes, EveryListPositionAndEveryOutOfRangeValue) {
    struct Case {
        const char* table;
        uint8_t (*code)(int32_t);
        std::vector<std::pair<int32_t, uint8_t>> argumentAndCode;
    };
    // clang-format off
    const Case cases[] = {
        {"mode 2000", led::ModeCode2000, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 0}, {7, 0}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}}},
        {"mode 3000", led::ModeCode3000, {{0, 0}, {1, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 0}, {7, 0}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}}},
        {"interval", led::IntervalCode3000, {{0, 3}, {1, 2}, {2, 0}, {3, 0}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}}},
        {"brightness", led::BrightnessCode3000, {{0, 3}, {1, 2}, {2, 1}, {3, 0}, {4, 0}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}}},
        {"flag", led::FlagByte, {{1, 1}, {0, 0}, {2, 0}, {-1, 0}, {INT32_MIN, 0}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        for (const auto& [argument, expected] : c.argumentAndCode) {
            EXPECT_EQ(c.code(argument), expected) << c.table << " " << argument;
        }
    }
}

TEST(LedBlocks, Family2000Blocks) {
    struct Case {
        const char* name;
        bool colourBlock;
        int32_t setting;  // on for the colour block, mode for the mode block
        int32_t shade, red, green, blue;
        Bytes expected;
    };
    // clang-format off
    const Case cases[] = {
        {"colour, on, white", true, 1, 0, 255, 255, 255, {0xA0, 0xFC, 0x01, 255, 255, 255, 0x00, 0x04}},
        {"colour, off, white at shade 50", true, 0, 50, 255, 255, 255, {0xA0, 0xFC, 0x00, 128, 128, 128, 0x00, 0x04}},
        {"colour, on = 2 counts as off", true, 2, 0, 1, 2, 3, {0xA0, 0xFC, 0x00, 1, 2, 3, 0x00, 0x04}},
        {"colour, shade 50 of 53, 3, 1", true, 1, 50, 53, 3, 1, {0xA0, 0xFC, 0x01, 26, 2, 1, 0x00, 0x04}},
        {"colour, shade 100", true, 1, 100, 255, 128, 7, {0xA0, 0xFC, 0x01, 0, 0, 0, 0x00, 0x04}},
        {"mode, reset", false, 0, 0, 255, 255, 255, {0xA0, 0x00, 0x00, 255, 255, 255, 0x00, 0x04}},
        {"mode, wave", false, 4, 0, 10, 20, 30, {0xA0, 0x00, 0x04, 10, 20, 30, 0x00, 0x04}},
        {"mode 7 sends 0", false, 7, 0, 0, 0, 0, {0xA0, 0x00, 0x00, 0, 0, 0, 0x00, 0x04}},
        {"mode, colour out of range", false, 1, 0, 300, -1, 256, {0xA0, 0x00, 0x01, 44, 0, 0, 0x00, 0x04}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const led::Block2000 block =
            c.colourBlock ? led::ColourBlock2000(0xA0, c.setting, c.shade, c.red, c.green, c.blue)
                          : led::ModeBlock2000(0xA0, c.setting, c.shade, c.red, c.green, c.blue);
        EXPECT_EQ(ToBytes(block), c.expected) << c.name;
    }
}

// Ten leading bytes, then the colour and the interval code eight more times.
Bytes Expected3000(Bytes head, uint8_t red, uint8_t green, uint8_t blue, uint8_t interval) {
    for (int group = 0; group < 8; ++group) head.insert(head.end(), {red, green, blue, interval});
    return head;
}

TEST(LedBlocks, Family3000Block) {
    struct Case {
        const char* name;
        LedSettings settings;
        Bytes expected;
    };
    // clang-format off
    const Case cases[] = {
        {"reset", {1, 1, 0, 1, 0, 0, 255, 255, 255},
         Expected3000({0xA2, 0x01, 0x01, 0x00, 255, 255, 255, 0x01, 0x02, 0x03}, 255, 255, 255, 0x02)},
        {"breathing, long, 25 %, off, single, shade 50", {0, 0, 2, 2, 3, 50, 53, 3, 1},
         Expected3000({0xA2, 0x01, 0x00, 0x03, 26, 2, 1, 0x00, 0x00, 0x00}, 26, 2, 1, 0x00)},
        {"glowing, short, 75 %", {1, 0, 4, 0, 1, 0, 1, 2, 3},
         Expected3000({0xA2, 0x01, 0x01, 0x05, 1, 2, 3, 0x00, 0x03, 0x02}, 1, 2, 3, 0x03)},
        {"wave, medium, 50 %", {1, 1, 3, 1, 2, 100, 9, 9, 9},
         Expected3000({0xA2, 0x01, 0x01, 0x04, 0, 0, 0, 0x01, 0x02, 0x01}, 0, 0, 0, 0x02)},
        // -256 at shade 0: -255.5 cut towards zero, low byte of -255 is 1.
        {"everything out of range", {5, 9, 7, 3, 4, 0, 256, 257, -256},
         Expected3000({0xA2, 0x01, 0x00, 0x00, 0, 1, 1, 0x00, 0x00, 0x00}, 0, 1, 1, 0x00)},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(ToBytes(led::SettingsBlock3000(0xA2, c.settings)), c.expected) << c.name;
    }
    EXPECT_EQ(ToBytes(led::MakeProbeBuffer(0xA0)), (Bytes{0xA0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
