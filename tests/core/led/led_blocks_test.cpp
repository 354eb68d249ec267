// The blocks as the simulated board reads them, and the colour scaling held to exact arithmetic.
#include "core/led/led_blocks.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "simdriver/board_model.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The lighting a board of the block's family shows after it, which it must take.
template <size_t N>
simdriver::BoardState Shown(const std::array<uint8_t, N>& block) {
    const simdriver::BlockOutcome outcome =
        simdriver::ApplyBlock(N == led::kBlock2000Size ? simdriver::LedController::kFamily2000
                                                       : simdriver::LedController::kFamily3000,
                              {}, Bytes(block.begin(), block.end()));
    EXPECT_TRUE(outcome.accepted) << outcome.problem;
    return outcome.state;
}

// List position -> the mode the board shows; any other position sends STATIC. The board's
// interval and brightness codes rise with blink speed and brightness, and the lists run from the
// shortest interval and the brightest setting down: each position must give a lower code than
// the next, and any other position sends 0. On and cycle are on for exactly 1.
TEST(LedCodes, EveryListPositionReachesTheBoardAsWhatItNames) {
    // The modes of family 2000 and of family 3000 by position.
    const char* const modes[] = {"STATIC/STATIC", "STROBING/FLASH", "COLOR CYCLE/BREATHING",
                                 "BREATHING/WAVE", "WAVE/GLOWING"};
    for (int p = -1; p <= 5; ++p) {
        const simdriver::BoardState shown = Shown(led::SettingsBlock3000(0xA2, {p, p, p, p, p})),
                                    next = Shown(
                                        led::SettingsBlock3000(0xA2, {1, 1, 0, p + 1, p + 1}));
        EXPECT_EQ(Shown(led::ModeBlock2000(0xA0, p, 0, 0, 0, 0)).mode + "/" + shown.mode,
                  modes[p >= 0 && p < 5 ? p : 0]);
        EXPECT_EQ(std::make_pair(shown.on, shown.cycle), std::make_pair(p == 1, p == 1)) << p;
        for (const auto& [lines, code, following] :
             {std::make_tuple(3, shown.intervalCode, next.intervalCode),
              std::make_tuple(4, shown.brightnessCode, next.brightnessCode)}) {
            EXPECT_TRUE(p < 0 || p >= lines ? code == 0 : p == lines - 1 || code > following)
                << lines << " lines, " << p;
        }
    }
    const led::ProbeBuffer probe = led::MakeProbeBuffer(0xA0);  // the command byte, then zeros
    EXPECT_EQ(Bytes(probe.begin(), probe.end()), (Bytes{0xA0, 0, 0, 0, 0, 0, 0, 0}));
}

// A component v at shade s is v * (100 - s) hundredths plus a half, cut toward zero, of which the
// low 8 bits are sent. Single precision may fall short of a whole number only where the exact
// sum is one, and the byte sent is then one nearer to zero.
TEST(ColourScaling, EveryComponentAndShadeWithinExactBounds) {
    for (int32_t shade = -150; shade <= 250; ++shade) {
        for (int32_t value = -300; value <= 600; ++value) {
            const int64_t hundredths = int64_t{value} * (100 - shade) + 50,
                          exact = hundredths / 100;
            const uint8_t sent = led::ScaleColour(value, shade),
                          shortOf = uint8_t(exact - (exact > 0) + (exact < 0));
            ASSERT_TRUE(sent == uint8_t(exact) || (hundredths % 100 == 0 && sent == shortOf))
                << value << " at " << shade;
        }
    }
    // Value, shade, byte sent: where single precision falls short of the half and where not, and
    // far out of range, which never reaches an undefined conversion (the sanitizer run checks).
    // clang-format off
    const int32_t anchors[][3] = {{53, 50, 26}, {130, 5, 123}, {42, 25, 31}, {3, 50, 2}, {1, 50, 1}, {INT32_MIN, 101, 0x14},
                                  {INT32_MAX, 101, 0xEC}, {INT32_MAX, INT32_MIN, 0}, {INT32_MIN, INT32_MAX, 0}};
    // clang-format on
    for (const auto& c : anchors)
        EXPECT_EQ(led::ScaleColour(c[0], c[1]), c[2]) << c[0] << "@" << c[1];
}

}  // namespace
