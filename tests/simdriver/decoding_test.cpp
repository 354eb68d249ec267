// What the simulator decodes: the scenario text, and the blocks a board's LED controller takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simdriver/board_model.h"
#include "simdriver/scenario.h"

namespace {

// Good text is taken; a bad line is refused by its number, the scenario keeping what the lines
// before it set (the log path, so a driver that cannot start can still say why). What each
// directive does is checked through the driver.
TEST(ScenarioText, TakesGoodLinesAndNamesTheBadOne) {
    const struct {
        const char* text;
        const char* error;
        const char* logPath = "";
    } cases[] = {
        {"\xEF\xBB\xBF# Notepad\r\n\r\n log \"C:\\a #b\"\r\ndefault-gpus", "", "C:\\a #b"},
        {"log /tmp/x.txt\ngpu tcc bus=1 name=x", "line 2: gpu needs pci=", "/tmp/x.txt"},
        {"frobnicate", "line 1: unknown directive 'frobnicate'"},
        {"gpu bus=-1 pci=1 name=x", "line 1: bad number '-1'"},
        {"gpu bus=1 pci=1 name=\"open", "line 1: unterminated quote"},
        {"i2c-write-fail", "line 1: 'i2c-write-fail' takes 1 to 2 value(s)"},
        {"gpu bus=1 pci=1 name=x temperature=hot", "line 1: bad temperature 'hot'"},
        {"log L\ntemperatures  ", "line 2: 'temperatures' needs a path", "L"},
    };
    for (const auto& c : cases) {
        simdriver::Scenario scenario;
        std::string error;
        EXPECT_EQ(simdriver::ParseScenario(c.text, scenario, error), *c.error == '\0') << c.text;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(scenario.logPath, c.logPath);
    }
}

using Block = std::vector<uint8_t>;

Block Changed(Block block, std::initializer_list<std::pair<size_t, uint8_t>> changes) {
    for (const auto& [index, value] : changes) block.at(index) = value;
    return block;
}

std::string Describe(const simdriver::BoardState& s) {
    return std::string(s.on ? "on " : "off ") + s.mode + " " + std::to_string(s.red) + "," +
           std::to_string(s.green) + "," + std::to_string(s.blue) + (s.cycle ? " cycle " : " ") +
           std::to_string(s.intervalCode) + " " + std::to_string(s.brightnessCode);
}

// Blocks written one after another: each sets the lighting it carries, or is refused (a wrong
// length or lead byte, a flag other than 0/1, an unknown code, a group unlike the leading
// colour) and changes nothing.
TEST(BoardModel, DecodesWellFormedBlocksAndRefusesTheRest) {
    const auto k2000 = simdriver::LedController::kFamily2000;
    const auto k3000 = simdriver::LedController::kFamily3000;
    const Block mode = {0xA0, 0x00, 4, 9, 8, 7, 0x00, 0x04};
    const Block colour = {0xA0, 0xFC, 1, 255, 128, 1, 0x00, 0x04};
    Block reset = {0xA2, 0x01, 1, 0, 1, 2, 3, 1, 2, 3};  // then eight groups of colour and interval
    for (int group = 0; group < 8; ++group) reset.insert(reset.end(), {1, 2, 3, 2});
    const struct {
        simdriver::LedController controller;
        Block block;
        const char* lighting;
    } cases[] = {
        // clang-format off
        {k2000, mode, "off WAVE 9,8,7 -1 -1"},
        {k2000, colour, "on WAVE 255,128,1 -1 -1"},  // a colour block keeps the mode
        {k2000, Changed(mode, {{2, 3}}), "on BREATHING 9,8,7 -1 -1"},  // a mode block keeps on
        {k2000, {0xA0, 0xFC, 0x01}, "refused"}, {k2000, Changed(colour, {{0, 0xA2}}), "refused"},
        {k2000, Changed(colour, {{2, 2}}), "refused"}, {k2000, Changed(mode, {{2, 5}}), "refused"},
        {k3000, reset, "on STATIC 1,2,3 cycle 2 3"},
        {k3000, Changed(reset, {{2, 0}, {3, 5}, {7, 0}, {9, 0}}), "off GLOWING 1,2,3 2 0"},
        {k3000, colour, "refused"}, {k3000, Changed(reset, {{38, 4}}), "refused"},
        {k3000, Changed(reset, {{3, 2}}), "refused"},  // code 2 has no mode here
        {simdriver::LedController::kNone, colour, "refused"},
        // clang-format on
    };
    simdriver::BoardState board;
    for (const auto& c : cases) {
        const simdriver::BlockOutcome out = simdriver::ApplyBlock(c.controller, board, c.block);
        EXPECT_EQ(out.accepted, std::string(c.lighting) != "refused") << out.problem;
        EXPECT_EQ(Describe(out.state), out.accepted ? c.lighting : Describe(board));
        board = out.state;
    }
}

}  // namespace
