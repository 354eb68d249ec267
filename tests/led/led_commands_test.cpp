#include "core/led/led_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/gpus/gpu_discovery.h"
#include "tests/support/in_process_driver.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kBus3000 = 1;  // "NVIDIA GeForce RTX 3080" in the default scenario
constexpr uint32_t kBus2000 = 2;  // "NVIDIA GeForce RTX 2080 SUPER"
constexpr int kSlot3000 = 0;
constexpr int kSlot2000 = 1;

// The I2C calls the driver served from the `from`-th call on.
std::vector<simdriver::CallRecord> TransfersFrom(size_t from) {
    const std::vector<simdriver::CallRecord> calls = simdriver::Calls();
    std::vector<simdriver::CallRecord> transfers;
    for (size_t i = from; i < calls.size(); ++i) {
        const simdriver::CallRecord& call = calls[i];
        if (call.call == "NvAPI_I2CWriteEx" || call.call == "NvAPI_I2CReadEx") {
            transfers.push_back(call);
        }
    }
    return transfers;
}

// The record fields as the driver received them: version, displayMask, bIsDDCPort,
// i2cDevAddress, regAddress null, regAddrSize, data null, cbSize, i2cSpeed, i2cSpeedKhz, portId,
// bIsPortIdSet.
using Fields =
    std::tuple<NvU32, NvU32, NvU8, NvU8, bool, NvU32, bool, NvU32, NvU32, NvU32, NvU8, NvU32>;

void ExpectFields(const simdriver::CallRecord& call, const Fields& expected) {
    ASSERT_TRUE(call.hasI2c);
    const NV_I2C_INFO_V3& i = call.info;
    EXPECT_EQ(Fields(i.version, i.displayMask, i.bIsDDCPort, i.i2cDevAddress, call.regAddressNull,
                     i.regAddrSize, call.dataNull, i.cbSize, i.i2cSpeed,
                     static_cast<NvU32>(i.i2cSpeedKhz), i.portId, i.bIsPortIdSet),
              expected);
}

const Fields kProbeFields = {NV_I2C_INFO_VER3, 0, 0, 0x92, true, 0, false, 8, 0xFFFF, 0, 1, 1};
const Fields kWrite3000Fields = {NV_I2C_INFO_VER3, 0, 0, 0x92, true, 0, false, 42, 0xFFFF, 1, 1, 1};
// After a successful probe the family-2000 writes carry the record the probe got back.
const Fields kWrite2000Fields = kProbeFields;
// After a failed probe they carry the template as prepared: version only.
const Fields kUnprobedFields = {NV_I2C_INFO_VER3, 0, 0, 0, true, 0, false, 0, 0, 0, 0, 0};

Bytes Group3000(Bytes head, uint8_t red, uint8_t green, uint8_t blue, uint8_t interval) {
    for (int group = 0; group < 8; ++group) head.insert(head.end(), {red, green, blue, interval});
    return head;
}

class LedCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override { Start(simdriver::DefaultScenario()); }
    void TearDown() override { simdriver::Configure(simdriver::DefaultScenario()); }

    void Start(const simdriver::Scenario& scenario) {
        while (access && access->ReferenceCount() > 0 && access->Unload() == NVAPI_OK) {
        }
        simdriver::Configure(scenario);
        access = std::make_unique<nvapi::NvApiAccess>(driver);
        table = GpuTable{};
        WriteDiscoveryDefaults(table);
        ASSERT_EQ(FindGpus(*access, table).failure, DiscoveryFailure::kNone);
        ASSERT_EQ(table.gpuSlots[kSlot3000].family, kFamily3000);
        ASSERT_EQ(table.gpuSlots[kSlot2000].family, kFamily2000);
        // Only what the commands send from here on is of interest.
        firstCommandCall = simdriver::Calls().size();
        pauses.clear();
    }

    std::vector<simdriver::CallRecord> Transfers() const { return TransfersFrom(firstCommandCall); }

    // The pause records how many transfers had gone out before it.
    led::Pause RecordingPause() {
        return [this](unsigned milliseconds) {
            pauses.push_back({milliseconds, static_cast<int>(Transfers().size())});
        };
    }

    // The template as the panel prepares it for an Apply or a Reset.
    NV_I2C_INFO_V3 PreparedTemplate(const led::LedTarget& target, bool probe = true) {
        NV_I2C_INFO_V3 commandTemplate = led::MakeCommandTemplate(target);
        if (probe && target.family == kFamily2000)
            led::TemplateProbe(*access, target, commandTemplate);
        return commandTemplate;
    }

    struct PauseRecord {
        unsigned milliseconds;
        int transfersBefore;
    };

    InProcessDriver driver;
    std::unique_ptr<nvapi::NvApiAccess> access;
    GpuTable table;
    size_t firstCommandCall = 0;
    std::vector<PauseRecord> pauses;
};

TEST_F(LedCommandsTest, TargetComesFromTheSlot) {
    const led::LedTarget target = led::TargetOfSlot(table, kSlot2000);
    EXPECT_EQ(target.gpu, table.gpuHandles[table.gpuSlots[kSlot2000].handleIndex]);
    EXPECT_EQ(target.family, 2000);
    EXPECT_EQ(target.commandByte, 0xA0);
    EXPECT_EQ(target.i2cInfoVersion, NV_I2C_INFO_VER3);
    EXPECT_EQ(target.ledControllerAddress, 0x92);
    for (int slot : {-1, kMaxGpuSlots, 1000}) {
        const led::LedTarget none = led::TargetOfSlot(table, slot);
        EXPECT_EQ(none.family, 0);
        EXPECT_EQ(none.gpu, nullptr);
    }
    GpuTable broken = table;
    broken.gpuSlots[0].handleIndex = NVAPI_MAX_PHYSICAL_GPUS;
    EXPECT_EQ(led::TargetOfSlot(broken, 0).family, 0);
    broken.gpuSlots[0].handleIndex = -1;
    EXPECT_EQ(led::TargetOfSlot(broken, 0).family, 0);
}

TEST_F(LedCommandsTest, TemplateProbe) {
    const led::LedTarget target = led::TargetOfSlot(table, kSlot2000);
    NV_I2C_INFO_V3 prepared = led::MakeCommandTemplate(target);
    EXPECT_EQ(prepared.version, NV_I2C_INFO_VER3);
    NV_I2C_INFO_V3 zeroed{};
    zeroed.version = NV_I2C_INFO_VER3;
    EXPECT_EQ(std::memcmp(&prepared, &zeroed, sizeof zeroed), 0);

    NV_I2C_INFO_V3 probed = prepared;
    ASSERT_EQ(led::TemplateProbe(*access, target, probed), NVAPI_OK);
    auto transfers = Transfers();
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].call, "NvAPI_I2CReadEx");
    EXPECT_EQ(transfers[0].bus, kBus2000);
    ExpectFields(transfers[0], kProbeFields);
    // The record as the driver left it is now the template.
    EXPECT_EQ(probed.version, NV_I2C_INFO_VER3);
    EXPECT_EQ(std::make_tuple(probed.i2cDevAddress, probed.cbSize, probed.i2cSpeed, probed.portId,
                              probed.bIsPortIdSet, probed.pbI2cRegAddress),
              std::make_tuple(NvU8{0x92}, NvU32{8}, NvU32{0xFFFF}, NvU8{1}, NvU32{1},
                              static_cast<NvU8*>(nullptr)));
    EXPECT_EQ(probed.i2cSpeedKhz, NV_I2C_SPEED_DEFAULT);

    simdriver::Scenario failing = simdriver::DefaultScenario();
    failing.i2cReadFailAt = 1;
    failing.i2cReadFailStatus = NVAPI_INVALID_HANDLE;
    Start(failing);
    NV_I2C_INFO_V3 untouched = prepared;
    EXPECT_EQ(led::TemplateProbe(*access, led::TargetOfSlot(table, kSlot2000), untouched),
              NVAPI_INVALID_HANDLE);
    EXPECT_EQ(std::memcmp(&untouched, &prepared, sizeof prepared), 0);
}

TEST_F(LedCommandsTest, DispatchingWriteSendsTheBlocksInOrder) {
    struct Sent {
        const char* call;
        Bytes data;
        const Fields* fields;
    };
    struct Case {
        const char* what;
        int slot;
        bool probeFails;
        LedSettings settings;
        std::vector<Sent> sent;
        int pauseAfter;  // transfers before the pause; -1 for no pause
    };
    const Bytes probe(8, 0);
    // clang-format off
    const Case cases[] = {
        {"family 2000 on: mode block, pause, colour block", kSlot2000, false, {1, 1, 4, 0, 3, 0, 10, 20, 30},
         {{"NvAPI_I2CReadEx", probe, &kProbeFields},
          {"NvAPI_I2CWriteEx", {0xA0, 0x00, 0x04, 10, 20, 30, 0x00, 0x04}, &kWrite2000Fields},
          {"NvAPI_I2CWriteEx", {0xA0, 0xFC, 0x01, 10, 20, 30, 0x00, 0x04}, &kWrite2000Fields}}, 2},
        {"family 2000 off: colour block, pause, mode block", kSlot2000, false, {0, 0, 2, 1, 0, 50, 255, 255, 255},
         {{"NvAPI_I2CReadEx", probe, &kProbeFields},
          {"NvAPI_I2CWriteEx", {0xA0, 0xFC, 0x00, 128, 128, 128, 0x00, 0x04}, &kWrite2000Fields},
          {"NvAPI_I2CWriteEx", {0xA0, 0x00, 0x02, 128, 128, 128, 0x00, 0x04}, &kWrite2000Fields}}, 2},
        {"family 2000, on = 2 switches off, mode 7 sends 0", kSlot2000, false, {2, 0, 7, 0, 0, 50, 53, 3, 1},
         {{"NvAPI_I2CReadEx", probe, &kProbeFields},
          {"NvAPI_I2CWriteEx", {0xA0, 0xFC, 0x00, 26, 2, 1, 0x00, 0x04}, &kWrite2000Fields},
          {"NvAPI_I2CWriteEx", {0xA0, 0x00, 0x00, 26, 2, 1, 0x00, 0x04}, &kWrite2000Fields}}, 2},
        {"family 2000 after a failed probe: the prepared template", kSlot2000, true, {1, 0, 0, 1, 0, 0, 255, 255, 255},
         {{"NvAPI_I2CReadEx", {}, &kProbeFields},
          {"NvAPI_I2CWriteEx", {}, &kUnprobedFields},
          {"NvAPI_I2CWriteEx", {}, &kUnprobedFields}}, 2},
        {"family 3000: one block", kSlot3000, false, {1, 0, 2, 2, 0, 0, 1, 2, 3},
         {{"NvAPI_I2CWriteEx", Group3000({0xA2, 0x01, 0x01, 0x03, 1, 2, 3, 0x00, 0x00, 0x03}, 1, 2, 3, 0x00), &kWrite3000Fields}}, -1},
        {"family 3000, mode 7, out-of-range codes", kSlot3000, false, {0, 1, 7, 9, -1, 100, 255, 255, 255},
         {{"NvAPI_I2CWriteEx", Group3000({0xA2, 0x01, 0x00, 0x00, 0, 0, 0, 0x01, 0x00, 0x00}, 0, 0, 0, 0x00), &kWrite3000Fields}}, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        simdriver::Scenario scenario = simdriver::DefaultScenario();
        if (c.probeFails) scenario.i2cReadFailAt = 1;
        Start(scenario);
        const led::LedTarget target = led::TargetOfSlot(table, c.slot);
        const NV_I2C_INFO_V3 commandTemplate = PreparedTemplate(target);
        EXPECT_EQ(
            led::DispatchingWrite(*access, target, commandTemplate, c.settings, RecordingPause()),
            NVAPI_OK);
        const auto transfers = Transfers();
        ASSERT_EQ(transfers.size(), c.sent.size());
        for (size_t i = 0; i < transfers.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(transfers[i].call, c.sent[i].call);
            EXPECT_EQ(transfers[i].bus, c.slot == kSlot2000 ? kBus2000 : kBus3000);
            EXPECT_EQ(transfers[i].status, c.probeFails && i == 0 ? NVAPI_ERROR : NVAPI_OK);
            if (!(c.probeFails && i == 0)) {
                EXPECT_EQ(transfers[i].data, c.sent[i].data);
            }
            ExpectFields(transfers[i], *c.sent[i].fields);
        }
        if (c.pauseAfter < 0) {
            EXPECT_TRUE(pauses.empty());
        } else {
            ASSERT_EQ(pauses.size(), 1u);
            EXPECT_EQ(pauses[0].milliseconds, 500u);
            EXPECT_EQ(pauses[0].transfersBefore, c.pauseAfter);
        }
    }
}

TEST_F(LedCommandsTest, FirstFailingFamily2000WriteEndsTheSequence) {
    struct Case {
        const char* what;
        int on;
        int failAt;
        int writes;
        size_t pauses;
    };
    const Case cases[] = {
        {"switching on, mode write fails", 1, 1, 1, 0},
        {"switching off, colour write fails", 0, 1, 1, 0},
        {"switching on, colour write fails", 1, 2, 2, 1},
        {"switching off, mode write fails", 0, 2, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        simdriver::Scenario scenario = simdriver::DefaultScenario();
        scenario.i2cWriteFailAt = c.failAt;
        scenario.i2cWriteFailStatus = NVAPI_INVALID_ARGUMENT;
        Start(scenario);
        const led::LedTarget target = led::TargetOfSlot(table, kSlot2000);
        LedSettings settings;
        settings.on = c.on;
        EXPECT_EQ(led::DispatchingWrite(*access, target, PreparedTemplate(target), settings,
                                        RecordingPause()),
                  NVAPI_INVALID_ARGUMENT);
        int writes = 0;
        for (const auto& call : Transfers()) writes += call.call == "NvAPI_I2CWriteEx";
        EXPECT_EQ(writes, c.writes);
        EXPECT_EQ(pauses.size(), c.pauses);
    }
}

TEST_F(LedCommandsTest, OtherFamiliesSendNothing) {
    for (int32_t family : {0, 1000, 2001, 2999, -2000}) {
        led::LedTarget target = led::TargetOfSlot(table, kSlot2000);
        target.family = family;
        EXPECT_EQ(led::DispatchingWrite(*access, target, led::MakeCommandTemplate(target),
                                        LedSettings{}, RecordingPause()),
                  NVAPI_OK);
        EXPECT_TRUE(Transfers().empty());
        EXPECT_TRUE(pauses.empty());
    }
}

// A template that asks for more bytes than a family-2000 block holds sends just the block.
TEST_F(LedCommandsTest, OversizedTemplateSendsOnlyTheBlock) {
    const led::LedTarget target = led::TargetOfSlot(table, kSlot2000);
    NV_I2C_INFO_V3 commandTemplate = PreparedTemplate(target);
    commandTemplate.cbSize = 40;
    ASSERT_EQ(led::ModeWrite2000(*access, target, commandTemplate, 1, 0, 9, 8, 7), NVAPI_OK);
    const auto transfers = Transfers();
    ASSERT_EQ(transfers.size(), 2u);
    EXPECT_EQ(transfers[1].info.cbSize, 8u);
    EXPECT_EQ(transfers[1].data, (Bytes{0xA0, 0x00, 0x01, 9, 8, 7, 0x00, 0x04}));
}

// Reset sends a fixed white, static setting; the driver's board model must show it.
TEST_F(LedCommandsTest, ResetSequencesByteForByte) {
    {
        SCOPED_TRACE("family 3000");
        const led::LedTarget target = led::TargetOfSlot(table, kSlot3000);
        LedSettings reset{1, 1, 0, 1, 0, 0, 255, 255, 255};
        ASSERT_EQ(led::Write3000(*access, target, reset), NVAPI_OK);
        const auto transfers = Transfers();
        ASSERT_EQ(transfers.size(), 1u);
        EXPECT_EQ(transfers[0].data,
                  Group3000({0xA2, 0x01, 0x01, 0x00, 255, 255, 255, 0x01, 0x02, 0x03}, 255, 255,
                            255, 0x02));
        const simdriver::BoardState board = simdriver::Board(kBus3000);
        EXPECT_TRUE(board.known);
        EXPECT_TRUE(board.on);
        EXPECT_EQ(board.mode, "STATIC");
        EXPECT_TRUE(board.cycle);
        EXPECT_EQ(board.intervalCode, 2);
        EXPECT_EQ(board.brightnessCode, 3);
        EXPECT_EQ(board.red, 255);
    }
    {
        SCOPED_TRACE("family 2000");
        Start(simdriver::DefaultScenario());
        const led::LedTarget target = led::TargetOfSlot(table, kSlot2000);
        const NV_I2C_INFO_V3 commandTemplate = PreparedTemplate(target);
        ASSERT_EQ(led::ModeWrite2000(*access, target, commandTemplate, 0, 0, 255, 255, 255),
                  NVAPI_OK);
        ASSERT_EQ(led::ColourWrite2000(*access, target, commandTemplate, 1, 0, 255, 255, 255),
                  NVAPI_OK);
        const auto transfers = Transfers();
        ASSERT_EQ(transfers.size(), 3u);
        EXPECT_EQ(transfers[1].data, (Bytes{0xA0, 0x00, 0x00, 255, 255, 255, 0x00, 0x04}));
        EXPECT_EQ(transfers[2].data, (Bytes{0xA0, 0xFC, 0x01, 255, 255, 255, 0x00, 0x04}));
        const simdriver::BoardState board = simdriver::Board(kBus2000);
        EXPECT_TRUE(board.known);
        EXPECT_TRUE(board.on);
        EXPECT_EQ(board.mode, "STATIC");
        EXPECT_EQ(board.blue, 255);
    }
}

// What each list position means to the board, read back from the driver's board model.
TEST_F(LedCommandsTest, EveryModeReachesTheBoardByName) {
    struct Case {
        int slot;
        int mode;
        const char* shown;
    };
    // clang-format off
    const Case cases[] = {
        {kSlot2000, 0, "STATIC"}, {kSlot2000, 1, "STROBING"}, {kSlot2000, 2, "COLOR CYCLE"}, {kSlot2000, 3, "BREATHING"},
        {kSlot2000, 4, "WAVE"}, {kSlot2000, 7, "STATIC"}, {kSlot3000, 0, "STATIC"}, {kSlot3000, 1, "FLASH"},
        {kSlot3000, 2, "BREATHING"}, {kSlot3000, 3, "WAVE"}, {kSlot3000, 4, "GLOWING"}, {kSlot3000, 7, "STATIC"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.slot) + " mode " + std::to_string(c.mode));
        Start(simdriver::DefaultScenario());
        const led::LedTarget target = led::TargetOfSlot(table, c.slot);
        LedSettings settings;
        settings.mode = c.mode;
        ASSERT_EQ(led::DispatchingWrite(*access, target, PreparedTemplate(target), settings,
                                        RecordingPause()),
                  NVAPI_OK);
        EXPECT_EQ(simdriver::Board(c.slot == kSlot2000 ? kBus2000 : kBus3000).mode, c.shown);
    }
}

TEST_F(LedCommandsTest, IntervalAndBrightnessCodesReachTheBoard) {
    struct Case {
        int interval, brightness;
        int intervalCode, brightnessCode;
    };
    const Case cases[] = {{0, 0, 3, 3}, {1, 1, 2, 2},  {2, 2, 0, 1},
                          {3, 3, 0, 0}, {-1, 4, 0, 0}, {100, -100, 0, 0}};
    for (const Case& c : cases) {
        Start(simdriver::DefaultScenario());
        LedSettings settings;
        settings.interval = c.interval;
        settings.brightness = c.brightness;
        ASSERT_EQ(led::Write3000(*access, led::TargetOfSlot(table, kSlot3000), settings), NVAPI_OK);
        const simdriver::BoardState board = simdriver::Board(kBus3000);
        EXPECT_EQ(board.intervalCode, c.intervalCode) << c.interval;
        EXPECT_EQ(board.brightnessCode, c.brightnessCode) << c.brightness;
    }
}

}  // namespace
