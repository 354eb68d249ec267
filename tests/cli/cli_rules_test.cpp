// lumivar.exe's portable rules: the option table, the options through the panel's controls and
// rules on to the blocks, the settings file and the exit code of several boards.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/settings_file.h"
#include "core/gpus/gpu_slots.h"
#include "core/led/led_blocks.h"

namespace {

ApplyOptions Options(const std::string& line, bool* ok = nullptr, std::string* error = nullptr) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    const ParsedCommandLine parsed = ParseCommandLine(words);
    if (ok) *ok = parsed.ok, *error = parsed.error;
    return parsed.invocation.options;
}

TEST(CliCommandLine, TakesGoodValuesAndRefusesBadOnesInItsOwnWords) {
    const std::pair<const char*, const char*> cases[] = {
        // line, part of the error (none: good)
        {"apply --gpu=all --mode x --color 00fF80 --shade 100 --off --cycle --save", nullptr},
        {"", "no command given"},
        {"list --gpu 1", "unknown command or option: '--gpu' '1'"},
        {"apply --mode", "--mode needs a value"},
        {"apply --shade 1 --shade 2", "--shade is given more than once"},
        {"apply --shade 101", "the shade '101' is not a whole number from 0 to 100"},
        {"apply --color #12345", "the colour '#12345' is not six hex digits"},
        {"apply --interval forever", "the interval 'forever' is not short, medium or long"},
        {"apply --brightness 60", "the brightness '60' is not 100, 75, 50 or 25"},
        {"reset --gpu -1", "the GPU '-1' is not a number from lumivar list, nor all"},
        {"restore --wait 86401", "the wait '86401' is not a number of seconds from 0 to 86400"},
        {"logon", "logon needs one of enable, disable or status"},
    };
    for (const auto& [line, part] : cases) {
        bool ok = false;
        std::string error;
        Options(line, &ok, &error);
        EXPECT_EQ(ok, part == nullptr) << line;
        EXPECT_NE(error.find(part ? part : ""), std::string::npos) << error;
    }
}

template <typename Block>
std::string Hex(const Block& block) {
    std::string text;
    for (uint8_t byte : block)
        text += {"0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15], ' '};
    return text.substr(0, text.size() - 1);
}

// A family-3000 block from the nine bytes after a2; the colour and interval code follow 8 times.
std::string Block3000(const std::string& head) {
    std::string block = "a2 " + head;
    for (int i = 0; i < 8; ++i) block += " " + head.substr(9, 9) + head.substr(21, 2);
    return block;
}

TEST(CliOptions, BecomeThePanelsControlsAndThenItsBlocks) {
    struct Case {
        int family;
        std::string options, controls,
            blocks;  // family 2000: the mode block, then the colour block
    };
    const Case cases[] = {
        {kFamily3000, "",
         "static, colour ffffff, shade 50, LED on, single, interval medium, brightness 100%",
         Block3000("01 01 00 80 80 80 00 02 03")},
        // WAVE forces Cycle; the shade goes out although the panel's slider is disabled then.
        {kFamily3000, "--mode WAVE --shade 100",
         "wave, colour ffffff, shade 100, LED on, cycle, interval medium, brightness 100%",
         Block3000("01 01 04 00 00 00 01 02 03")},
        // STATIC forces Single; FLASH lets the user choose.
        {kFamily3000,
         "--mode static --cycle --off --shade 0 --color 0c2238 --interval short --brightness 25",
         "static, colour 0c2238, shade 0, LED off, single, interval short, brightness 25%",
         Block3000("01 00 00 0c 22 38 00 03 00")},
        {kFamily3000, "--mode flash --cycle --interval LONG --brightness 75",
         "flash, colour ffffff, shade 50, LED on, cycle, interval long, brightness 75%",
         Block3000("01 01 01 80 80 80 01 00 02")},
        // Family 2000: WAVE and COLOR CYCLE trade wire codes; cycle, interval and brightness
        // reach no block.
        {kFamily2000, "--mode color-cycle --off --color 350301 --cycle --interval long",
         "color-cycle, colour 350301, shade 50, LED off",
         "a0 00 02 1a 02 01 00 04 a0 fc 00 1a 02 01 00 04"},
        {kFamily2000, "--mode Wave --shade 0 --brightness 25",
         "wave, colour ffffff, shade 0, LED on", "a0 00 04 ff ff ff 00 04 a0 fc 01 ff ff ff 00 04"},
    };
    for (const Case& c : cases) {
        const ApplyOptions options = Options("apply " + c.options);
        const std::optional<int> mode =
            options.mode ? FindModePosition(c.family, *options.mode) : std::nullopt;
        const ApplyReadings controls = ControlsForOptions(c.family, true, mode, options);
        EXPECT_EQ(DescribeControls(c.family, controls), c.controls) << c.options;
        const LedSettings s = GatherLedSettings(c.family, controls);
        const std::string blocks =
            c.family == kFamily3000
                ? Hex(led::SettingsBlock3000(0xA2, s))
                : Hex(led::ModeBlock2000(0xA0, s.mode, s.shade, s.red, s.green, s.blue)) + " " +
                      Hex(led::ColourBlock2000(0xA0, s.on, s.shade, s.red, s.green, s.blue));
        EXPECT_EQ(blocks, c.blocks) << c.options;
    }
}

TEST(CliSettings, RoundTripRestorePlanAndFilesThatCannotBeRead) {
    SavedSettings saved;
    RememberBoard(saved, {{0x220610DE, 1},
                          Options("apply --mode x --color 102030 --shade 10 --interval short "
                                  "--brightness 50 --off --cycle")});
    RememberBoard(saved, {{0x1E8110DE, 2}, {}});
    SavedSettings read;
    std::string error;
    ASSERT_TRUE(ParseSettings(SettingsText(saved), read, error)) << error;
    EXPECT_EQ(SettingsText(read), SettingsText(saved));
    // Restored in slot order; a saved board that no slot holds is reported, not applied.
    const RestorePlan plan = PlanRestore(read, {{0x2484, 0}, {0x1E8110DE, 2}, {0x220610DE, 9}});
    ASSERT_EQ(plan.steps.size(), 1u);
    EXPECT_EQ(plan.steps[0].slot, 1);
    EXPECT_TRUE(plan.absent.size() == 1 && plan.absent[0] == (BoardKey{0x220610DE, 1}));

    const std::string board = "{\"boards\": [{\"pci\": \"220610de\", \"bus\": 1, \"options\": ";
    for (const std::string& text :
         {std::string(), board.substr(0, 12), board.substr(11, 1) + "]",
          board + "{\"shade\": 101}}]}", board + "{\"glow\": 1}}]}",
          board + "{\"brightness\": \"75\"}}]}", board + "{}, \"x\": 1}]}"}) {
        EXPECT_FALSE(ParseSettings(text, read, error)) << text;
    }
    // Several boards in one command: the worst thing that happened to any of them.
    EXPECT_EQ(HighestExitCode({kExitDone, kExitSettingsFile, kExitDriverFailed}),
              kExitSettingsFile);
}

}  // namespace
