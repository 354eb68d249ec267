#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simdriver/board_model.h"
#include "tests/simdriver/driver_entries.h"

using simdriver::ApplyBlock;
using simdriver::BoardState;
using simdriver::LedController;

namespace {

// The family-3000 block: ten leading bytes, then eight groups of colour and interval.
std::vector<uint8_t> Block3000(uint8_t on, uint8_t mode, uint8_t r, uint8_t g, uint8_t b,
                               uint8_t cycle, uint8_t interval, uint8_t brightness) {
    std::vector<uint8_t> block = {0xA2, 0x01, on, mode, r, g, b, cycle, interval, brightness};
    for (int group = 0; group < 8; ++group) block.insert(block.end(), {r, g, b, interval});
    return block;
}

std::vector<uint8_t> Changed(std::vector<uint8_t> block, size_t index, uint8_t value) {
    block[index] = value;
    return block;
}

// "on MODE r,g,b cycle interval brightness", one line per expected state.
std::string Describe(const BoardState& s) {
    return std::string(s.on ? "on " : "off ") + s.mode + " " + std::to_string(s.red) + "," +
           std::to_string(s.green) + "," + std::to_string(s.blue) + (s.cycle ? " cycle " : " ") +
           std::to_string(s.intervalCode) + " " + std::to_string(s.brightnessCode);
}

LedController ControllerFor(const std::vector<uint8_t>& block) {
    return block.size() == 42 ? LedController::kFamily3000 : LedController::kFamily2000;
}

TEST(BoardModel, DecodesEveryWellFormedBlock) {
    BoardState lit;
    lit.on = true;
    lit.mode = "WAVE";
    // clang-format off
    const struct { const char* name; BoardState before; std::vector<uint8_t> block; const char* after; } cases[] = {
        {"2000 colour on", BoardState(), {0xA0, 0xFC, 0x01, 255, 128, 1, 0x00, 0x04}, "on  255,128,1 -1 -1"},
        {"2000 colour off keeps the mode", lit, {0xA0, 0xFC, 0x00, 1, 2, 3, 0x00, 0x04}, "off WAVE 1,2,3 -1 -1"},
        {"2000 mode 0", lit, {0xA0, 0x00, 0, 255, 255, 255, 0x00, 0x04}, "on STATIC 255,255,255 -1 -1"},
        {"2000 mode 1", lit, {0xA0, 0x00, 1, 9, 8, 7, 0x00, 0x04}, "on STROBING 9,8,7 -1 -1"},
        {"2000 mode 2", lit, {0xA0, 0x00, 2, 9, 8, 7, 0x00, 0x04}, "on COLOR CYCLE 9,8,7 -1 -1"},
        {"2000 mode 3", lit, {0xA0, 0x00, 3, 9, 8, 7, 0x00, 0x04}, "on BREATHING 9,8,7 -1 -1"},
        {"2000 mode 4 keeps off", BoardState(), {0xA0, 0x00, 4, 9, 8, 7, 0x00, 0x04}, "off WAVE 9,8,7 -1 -1"},
        {"3000 reset", BoardState(), Block3000(1, 0, 255, 255, 255, 1, 2, 3), "on STATIC 255,255,255 cycle 2 3"},
        {"3000 mode 1", lit, Block3000(0, 1, 1, 2, 3, 0, 0, 0), "off FLASH 1,2,3 0 0"},
        {"3000 mode 3", lit, Block3000(1, 3, 4, 5, 6, 0, 3, 1), "on BREATHING 4,5,6 3 1"},
        {"3000 mode 4", lit, Block3000(1, 4, 7, 8, 9, 1, 2, 2), "on WAVE 7,8,9 cycle 2 2"},
        {"3000 mode 5", lit, Block3000(1, 5, 0, 0, 0, 0, 0, 3), "on GLOWING 0,0,0 0 3"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const simdriver::BlockOutcome outcome =
            ApplyBlock(ControllerFor(c.block), c.before, c.block);
        ASSERT_TRUE(outcome.accepted) << outcome.problem;
        EXPECT_TRUE(outcome.state.known);
        EXPECT_EQ(Describe(outcome.state), c.after);
    }
}

TEST(BoardModel, RefusesMalformedBlocksAndChangesNothing) {
    const std::vector<uint8_t> colour = {0xA0, 0xFC, 0x01, 1, 2, 3, 0x00, 0x04};
    const std::vector<uint8_t> reset = Block3000(1, 0, 255, 255, 255, 1, 2, 3);
    const LedController k2000 = LedController::kFamily2000, k3000 = LedController::kFamily3000;
    // clang-format off
    const struct { LedController controller; std::vector<uint8_t> block; const char* problem; } cases[] = {
        {k2000, {0xA0, 0xFC, 0x01}, "length 3, expected 8"},
        {k2000, reset, "length 42, expected 8"},
        {k2000, Changed(colour, 0, 0xA2), "first byte is not 0xA0"},
        {k2000, Changed(colour, 1, 0x01), "second byte is neither 0xFC nor 0x00"},
        {k2000, Changed(colour, 2, 2), "on/off byte is neither 0 nor 1"},
        {k2000, {0xA0, 0x00, 5, 1, 2, 3, 0x00, 0x04}, "unknown mode code 5"},
        {k2000, Changed(colour, 6, 0x04), "bytes 6 and 7 are not 00 04"},
        {k3000, colour, "length 8, expected 42"},
        {k3000, Changed(reset, 0, 0xA0), "first byte is not 0xA2"},
        {k3000, Changed(reset, 2, 0xFF), "on/off byte is neither 0 nor 1"},
        {k3000, Changed(reset, 3, 2), "unknown mode code 2"},  // code 2 has no mode
        {k3000, Changed(reset, 7, 2), "cycle byte is neither 0 nor 1"},
        {k3000, Block3000(1, 0, 1, 2, 3, 0, 1, 0), "unknown interval code"},  // there is no 1
        {k3000, Changed(reset, 9, 4), "unknown brightness code"},
        {k3000, Changed(reset, 10, 254), "group at byte 10 differs from the leading colour and interval"},
        {k3000, Changed(reset, 41, 3), "group at byte 38 differs from the leading colour and interval"},
        {LedController::kNone, colour, "the board has no LED controller"},
    };
    // clang-format on
    BoardState before;
    before.known = true;
    before.on = true;
    before.mode = "STATIC";
    before.red = 42;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        const simdriver::BlockOutcome outcome = ApplyBlock(c.controller, before, c.block);
        EXPECT_FALSE(outcome.accepted);
        EXPECT_EQ(outcome.problem, c.problem);
        EXPECT_EQ(Describe(outcome.state), Describe(before));
    }
}

TEST(BoardModel, KnowsWhichBoardsCarryAController) {
    const struct {
        uint32_t pciId;
        int family;
    } cases[] = {{0x220410DE, 3000}, {0x220610DE, 3000}, {0x248410DE, 3000}, {0x1E0710DE, 2000},
                 {0x1E8710DE, 2000}, {0x1E8110DE, 2000}, {0x1E8410DE, 2000}, {0x220510DE, 0},
                 {0x1B8010DE, 0},    {0x000010DE, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(simdriver::FamilyNumber(simdriver::ControllerForPciId(c.pciId)), c.family)
            << std::hex << c.pciId;
    }
}

// Through the driver: what reaches the board and the line the log writes about it.
TEST(BoardThroughDriver, LogsTheLightingOrWhyAWriteChangedNothing) {
    simdriver::Scenario scenario = simdriver::DefaultScenario();
    scenario.gpus.push_back(simdriver::SimGpu{5, "NVIDIA GeForce GTX 1080", 0x1B8010DE});
    StartDriver(scenario);
    const std::vector<NvPhysicalGpuHandle> gpus = NormalHandles();
    const std::vector<NvU8> off2000 = {0xA0, 0xFC, 0x00, 0, 0, 0, 0x00, 0x04};
    const struct {
        size_t gpu;
        std::vector<NvU8> block;
        void (*change)(NV_I2C_INFO_V3&);
        std::string line;  // after "t"
    } cases[] = {
        {0, Block3000(1, 0, 255, 255, 255, 1, 2, 3), nullptr,
         "\"board\":1,\"family\":3000,\"on\":true,\"mode\":\"STATIC\",\"red\":255,\"green\":255,"
         "\"blue\":255,\"cycle\":true,\"interval\":2,\"brightness\":3}"},
        {1,
         {0xA0, 0x00, 0x03, 1, 2, 3, 0x00, 0x04},
         nullptr,
         "\"board\":2,\"family\":2000,\"on\":false,\"mode\":\"BREATHING\",\"red\":1,\"green\":2,"
         "\"blue\":3,\"cycle\":false,\"interval\":-1,\"brightness\":-1}"},
        {1, off2000, [](NV_I2C_INFO_V3& i) { i.i2cDevAddress = 0x90; },
         "\"board\":2,\"ignored\":\"no device at this address\",\"detail\":\"address 0x90\"}"},
        {1, off2000, [](NV_I2C_INFO_V3& i) { i.bIsDDCPort = 1; },
         "\"board\":2,\"ignored\":\"no device at this address\",\"detail\":\"sent to the "
         "display's DDC port\"}"},
        // The record a failed probe leaves: only the version set.
        {1, off2000,
         [](NV_I2C_INFO_V3& i) {
             i = NV_I2C_INFO_V3{NV_I2C_INFO_VER3, 0, 0, 0, nullptr, 0, i.pbData, 0, 0, {}, 0, 0};
         },
         "\"board\":2,\"ignored\":\"no device at this address\",\"detail\":\"address 0x00\"}"},
        {0,
         {0xA2, 0x01, 0x01},
         nullptr,
         "\"board\":1,\"ignored\":\"malformed block\",\"detail\":\"length 3, expected 42\"}"},
        {2, off2000, nullptr,
         "\"board\":5,\"ignored\":\"no device at this address\",\"detail\":\"address 0x92, board "
         "without LED controller\"}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<NvU8> block = c.block;
        NV_I2C_INFO_V3 info = TransferRecord(block);
        if (c.change) c.change(info);
        NvU32 scratch[2] = {};
        ASSERT_EQ(DriverEntry<NvI2CTransferFn>(nvapi_id::kI2CWriteEx)(gpus[c.gpu], &info, scratch),
                  NVAPI_OK);
        const std::vector<std::string> lines = simdriver::LogLines();
        EXPECT_NE(lines[lines.size() - 2].find("\"call\":\"NvAPI_I2CWriteEx\""), std::string::npos);
        EXPECT_EQ(lines.back().substr(0, 5), "{\"t\":");
        EXPECT_EQ(lines.back().substr(lines.back().find(',') + 1), c.line);
    }
    // The ignored writes left the 2000 board as its mode block set it.
    EXPECT_EQ(Describe(simdriver::Board(2)), "off BREATHING 1,2,3 -1 -1");
    EXPECT_FALSE(simdriver::Board(5).known);
}

}  // namespace
