// What the panel saves after an Apply, read back from the file's text and turned into controls
// again, sends the bytes of that Apply; a Reset's board leaves the file and no other does.
#include <gtest/gtest.h>

#include "core/gpus/gpu_slots.h"
#include "core/led/led_blocks.h"
#include "core/settings/settings_file.h"

namespace {

// The blocks a board is sent for these settings, one after the other.
std::vector<uint8_t> Blocks(int family, const LedSettings& s) {
    if (family == kFamily3000) {
        const led::Block3000 block = led::SettingsBlock3000(kCommandByte3000, s);
        return {block.begin(), block.end()};
    }
    std::vector<uint8_t> bytes;
    for (const led::Block2000& block :
         {led::ModeBlock2000(kCommandByte2000, s.mode, s.shade, s.red, s.green, s.blue),
          led::ColourBlock2000(kCommandByte2000, s.on, s.shade, s.red, s.green, s.blue)}) {
        bytes.insert(bytes.end(), block.begin(), block.end());
    }
    return bytes;
}

TEST(SavedControls, ARestoreSendsWhatTheApplySentAndResetForgetsOneBoard) {
    // mode, interval and brightness positions, LED ON, Cycle, slider, red, green, blue
    const std::pair<int, ApplyReadings> applies[] = {
        {kFamily3000, {0, 1, 0, true, false, 50, 255, 255, 255}},  // as started
        {kFamily3000, {1, 2, 3, false, true, 0, 1, 2, 3}},         // FLASH cycling, LED OFF
        {kFamily3000, {2, 0, 1, true, false, 100, 0, 0, 0}},       // BREATHING single
        {kFamily3000, {3, 1, 2, true, true, 37, 128, 64, 200}},    // WAVE forces Cycle
        {kFamily3000, {4, 2, 0, false, true, 99, 255, 0, 10}},     // GLOWING
        {kFamily2000, {0, 1, 0, true, false, 0, 255, 255, 255}},   // after a Reset
        {kFamily2000, {2, 0, 3, false, false, 1, 12, 34, 56}},     // WAVE, handed on as 4
        {kFamily2000, {4, 2, 2, true, true, 63, 9, 8, 7}},      // COLOR CYCLE; Cycle left checked
        {kFamily2000, {1, 1, 0, false, false, 51, 200, 0, 1}},  // STROBING
    };
    for (const auto& [family, controls] : applies) {
        SCOPED_TRACE(DescribeControls(family, controls));
        SavedSettings saved;
        RememberBoard(saved, {{0x220610DE, 1}, OptionsForControls(family, controls)});
        SavedSettings read;
        std::string error;
        ASSERT_TRUE(ParseSettings(SettingsText(saved), read, error)) << error;
        const ApplyOptions& options = read.boards.at(0).options;
        const ApplyReadings back = ControlsForOptions(
            family, true, FindModePosition(family, options.mode.value_or("")), options);
        EXPECT_EQ(Blocks(family, GatherLedSettings(family, back)),
                  Blocks(family, GatherLedSettings(family, controls)));
    }

    // Same PCI id on another bus, and another id on the same bus: other boards.
    SavedSettings saved;
    for (const BoardKey key : {BoardKey{0x220610DE, 1}, {0x220610DE, 2}, {0x1E8110DE, 1}}) {
        RememberBoard(saved, {key, {}});
    }
    ForgetBoard(saved, {0x220610DE, 2});
    ForgetBoard(saved, {0x2206, 1});
    ASSERT_EQ(saved.boards.size(), 2u);
    EXPECT_EQ(saved.boards[0].key, (BoardKey{0x220610DE, 1}));
    EXPECT_EQ(saved.boards[1].key, (BoardKey{0x1E8110DE, 1}));
    // A mode position past the board's list names no mode.
    EXPECT_FALSE(OptionsForControls(kFamily3000, {5, 1, 0, true, false, 50, 1, 2, 3}).mode);
}

}  // namespace
