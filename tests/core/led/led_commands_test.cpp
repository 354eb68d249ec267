#include "core/led/led_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/gpus/gpu_discovery.h"
#include "core/rules/panel_rules.h"
#include "tests/support/in_process/in_process_driver.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The default scenario: a family-3000 board on bus 1 (slot 0), a family-2000 one on bus 2.
constexpr int kSlot3000 = 0;
constexpr int kSlot2000 = 1;

// The record as the driver received it: version, displayMask, bIsDDCPort, i2cDevAddress,
// register address null, regAddrSize, data null, cbSize, i2cSpeed, i2cSpeedKhz, portId,
// bIsPortIdSet.
using Fields =
    std::tuple<NvU32, NvU32, NvU8, NvU8, bool, NvU32, bool, NvU32, NvU32, NvU32, NvU8, NvU32>;

Fields FieldsOf(const simdriver::CallRecord& call) {
    const NV_I2C_INFO_V3& i = call.info;
    return {i.version,           i.displayMask,        i.bIsDDCPort,  i.i2cDevAddress,
            call.regAddressNull, i.regAddrSize,        call.dataNull, i.cbSize,
            i.i2cSpeed,          NvU32(i.i2cSpeedKhz), i.portId,      i.bIsPortIdSet};
}

// The probe's own record, which after a successful probe the family-2000 writes carry too.
const Fields kProbe = {NV_I2C_INFO_VER3, 0, 0, 0x92, true, 0, false, 8, 0xFFFF, 0, 1, 1};
const Fields kWrite3000 = {NV_I2C_INFO_VER3, 0, 0, 0x92, true, 0, false, 42, 0xFFFF, 1, 1, 1};
// After a failed probe: the template as prepared, version only.
const Fields kUnprobed = {NV_I2C_INFO_VER3, 0, 0, 0, true, 0, false, 0, 0, 0, 0, 0};

Bytes Block3000(Bytes head, uint8_t red, uint8_t green, uint8_t blue, uint8_t interval) {
    for (int group = 0; group < 8; ++group) head.insert(head.end(), {red, green, blue, interval});
    return head;
}

class LedCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override { Start(); }

    // The default boards, discovered, with I2C reads and writes failing as asked.
    void Start(int readFailsAt = 0, int writeFailsAt = 0, NvAPI_Status failure = NVAPI_ERROR) {
        simdriver::Scenario scenario = simdriver::DefaultScenario();
        std::tie(scenario.i2cReadFailAt, scenario.i2cWriteFailAt) =
            std::tie(readFailsAt, writeFailsAt);
        scenario.i2cReadFailStatus = scenario.i2cWriteFailStatus = failure;
        access = std::make_unique<SimulatedAccess>(scenario);
        table = GpuTable{};
        WriteDiscoveryDefaults(table);
        ASSERT_EQ(FindGpus(access->layer, table).failure, DiscoveryFailure::kNone);
        pauses.clear();
    }

    // The I2C transfers so far.
    std::vector<simdriver::CallRecord> Transfers() const {
        std::vector<simdriver::CallRecord> calls = simdriver::Calls();
        calls.erase(std::remove_if(calls.begin(), calls.end(), [](auto& c) { return !c.hasI2c; }),
                    calls.end());
        return calls;
    }

    // Each pause as (milliseconds, transfers made before it).
    led::Pause RecordingPause() {
        return [this](unsigned ms) { pauses.push_back({ms, Transfers().size()}); };
    }

    std::unique_ptr<SimulatedAccess> access;
    GpuTable table;
    std::vector<std::pair<unsigned, size_t>> pauses;
};

// A slot or handle index outside the table gives a target of no GPU and no family, and a target
// of any family but 2000 and 3000 is sent nothing.
TEST_F(LedCommandsTest, TargetsOutsideTheTableOrOfNoFamilySendNothing) {
    for (int slot : {-1, kMaxGpuSlots, 1000}) {
        const led::LedTarget none = led::TargetOfSlot(table, slot);
        EXPECT_EQ(std::make_pair(none.gpu, none.family), std::make_pair(NvPhysicalGpuHandle{}, 0));
    }
    for (int32_t family : {0, 2001, -2000}) {
        led::LedTarget target = led::TargetOfSlot(table, kSlot2000);
        target.family = family;
        EXPECT_EQ(led::SendLedCommand(access->layer, target, LedSettings{}, RecordingPause()),
                  NVAPI_OK);
    }
    EXPECT_TRUE(Transfers().empty());
    EXPECT_TRUE(pauses.empty());
    for (int handleIndex : {-1, int(NVAPI_MAX_PHYSICAL_GPUS)}) {
        table.gpuSlots[0].handleIndex = handleIndex;
        EXPECT_EQ(led::TargetOfSlot(table, 0).family, 0) << handleIndex;
    }
}

// A command as Apply and Reset send it: family 2000 probes, then sends two blocks 500 ms apart
// (the first failure ends it, with its status and without a pause); family 3000 sends one block
// with a record of its own.
TEST_F(LedCommandsTest, CommandsSendTheirBlocksInOrder) {
    const Bytes on = {0xA0, 0xFC, 0x01, 128, 128, 128, 0x00, 0x04},
                off = {0xA0, 0xFC, 0x00, 128, 128, 128, 0x00, 0x04},
                staticMode = {0xA0, 0x00, 0x00, 128, 128, 128, 0x00, 0x04};  // white at shade 50
    // What, slot, whether the probe fails, the write that fails; the settings (on, cycle, mode,
    // interval, brightness, shade, red, green, blue); the blocks written.
    // clang-format off
    const std::tuple<const char*, int, bool, int, LedSettings, std::vector<Bytes>> cases[] = {
        {"2000 switching on: mode block, then colour block", kSlot2000, false, 0, {1, 1, 4, 0, 3, 0, 10, 20, 30},
         {{0xA0, 0x00, 0x04, 10, 20, 30, 0x00, 0x04}, {0xA0, 0xFC, 0x01, 10, 20, 30, 0x00, 0x04}}},
        {"2000 switching off: colour block, then mode block", kSlot2000, false, 0, {0, 0, 2, 1, 0, 50, 255, 255, 255},
         {off, {0xA0, 0x00, 0x02, 128, 128, 128, 0x00, 0x04}}},
        {"2000 on, the mode block fails", kSlot2000, false, 1, LedSettings{1}, {staticMode}},
        {"2000 off, the colour block fails", kSlot2000, false, 1, LedSettings{0}, {off}},
        {"2000 on, the colour block fails", kSlot2000, false, 2, LedSettings{1}, {staticMode, on}},
        {"2000 after a failed probe: the prepared template, no bytes", kSlot2000, true, 0, {}, {{}, {}}},
        {"2000 Reset", kSlot2000, false, 0, PlanReset(kFamily2000, true).sent,
         {{0xA0, 0x00, 0x00, 255, 255, 255, 0x00, 0x04}, {0xA0, 0xFC, 0x01, 255, 255, 255, 0x00, 0x04}}},
        {"3000", kSlot3000, false, 0, {1, 0, 2, 2, 0, 0, 1, 2, 3},
         {Block3000({0xA2, 0x01, 0x01, 0x03, 1, 2, 3, 0x00, 0x00, 0x03}, 1, 2, 3, 0x00)}},
        {"3000, mode 7 and codes out of range", kSlot3000, false, 0, {0, 1, 7, 9, -1, 100, 255, 255, 255},
         {Block3000({0xA2, 0x01, 0x00, 0x00, 0, 0, 0, 0x01, 0x00, 0x00}, 0, 0, 0, 0x00)}},
        {"3000 Reset", kSlot3000, false, 0, PlanReset(kFamily3000, true).sent,
         {Block3000({0xA2, 0x01, 0x01, 0x00, 255, 255, 255, 0x01, 0x02, 0x03}, 255, 255, 255, 0x02)}},
    };
    // clang-format on
    for (const auto& [what, slot, probeFails, writeFails, settings, writes] : cases) {
        SCOPED_TRACE(what);
        Start(probeFails ? 1 : 0, writeFails, NVAPI_INVALID_ARGUMENT);
        EXPECT_EQ(led::SendLedCommand(access->layer, led::TargetOfSlot(table, slot), settings,
                                      RecordingPause()),
                  writeFails ? NVAPI_INVALID_ARGUMENT : NVAPI_OK);
        // Each transfer's call, bus, bytes written and record.
        std::vector<std::tuple<std::string, int64_t, Bytes, Fields>> sent, expected;
        for (const auto& t : Transfers()) {
            sent.emplace_back(t.call, t.bus, t.call == "NvAPI_I2CReadEx" ? Bytes{} : t.data,
                              FieldsOf(t));
        }
        const bool is2000 = slot == kSlot2000;
        const Fields& record = !is2000 ? kWrite3000 : probeFails ? kUnprobed : kProbe;
        if (is2000) expected.emplace_back("NvAPI_I2CReadEx", 2, Bytes{}, kProbe);
        for (const Bytes& block : writes)
            expected.emplace_back("NvAPI_I2CWriteEx", is2000 ? 2 : 1, block, record);
        EXPECT_EQ(sent, expected);
        // One pause of 500 ms, after the probe and the first block, when a second block follows.
        const std::vector<std::pair<unsigned, size_t>> onePause = {{500u, 2u}};
        EXPECT_EQ(pauses, writes.size() == 2 ? onePause : decltype(onePause){});
    }
}

// A template that asks for more bytes than a family-2000 block holds sends just the block.
TEST_F(LedCommandsTest, OversizedTemplateSendsOnlyTheBlock) {
    const led::LedTarget target = led::TargetOfSlot(table, kSlot2000);
    NV_I2C_INFO_V3 commandTemplate = led::MakeCommandTemplate(target);
    ASSERT_EQ(led::TemplateProbe(access->layer, target, commandTemplate), NVAPI_OK);
    commandTemplate.cbSize = 40;
    ASSERT_EQ(led::ModeWrite2000(access->layer, target, commandTemplate, 1, 0, 9, 8, 7), NVAPI_OK);
    const simdriver::CallRecord write = Transfers().back();
    EXPECT_EQ(std::make_pair(write.info.cbSize, write.data),
              std::make_pair(8u, Bytes{0xA0, 0x00, 0x01, 9, 8, 7, 0x00, 0x04}));
}

}  // namespace
