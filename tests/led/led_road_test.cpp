// The whole road for real under Wine: discovery and the LED commands go through the process's
// access layer, the trusted loader and the simulated driver module in the system directory.
// The driver's log then shows what reached each board, byte for byte, and when.
#include <gtest/gtest.h>

#include "tests/support/strings.h"
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/gpus/gpu_discovery.h"
#include "core/led/led_commands.h"
#include "platform/process_nvapi.h"
#include "simdriver/sim_driver.h"
#include "tests/support/json_line.h"

namespace {

constexpr int64_t kBus3000 = 1;  // the simulated driver's default boards
constexpr int64_t kBus2000 = 2;
constexpr int kSlot3000 = 0;
constexpr int kSlot2000 = 1;

// One step of the road: what the panel would do for an Apply or a Reset.
struct Step {
    const char* what;
    int slot;
    bool reset;
    LedSettings settings;  // for Apply
};

// Everything the road left behind, read once for all the checks below.
struct Road {
    bool discovered = false;
    GpuTable table;
    DiscoveryResult discovery;
    std::vector<jsonline::Object> log;
    int unreadableLines = 0;
};

Road& TheRoad() {
    static Road road;
    return road;
}

const Step kSteps[] = {
    // WAVE, shade 50: 200, 100, 50 go out as 100, 50, 25.
    {"apply 2000 on", kSlot2000, false, {1, 0, 4, 1, 0, 50, 200, 100, 50}},
    {"apply 2000 off", kSlot2000, false, {0, 0, 3, 1, 0, 0, 10, 20, 30}},
    {"reset 2000", kSlot2000, true, {}},
    // GLOWING, short interval, 75 %, shade 50 of white.
    {"apply 3000", kSlot3000, false, {1, 0, 4, 0, 1, 50, 255, 255, 255}},
    {"reset 3000", kSlot3000, true, {}},
};

void RunStep(nvapi::NvApiAccess& api, const GpuTable& table, const Step& step) {
    const led::LedTarget target = led::TargetOfSlot(table, step.slot);
    NV_I2C_INFO_V3 commandTemplate = led::MakeCommandTemplate(target);
    if (target.family == kFamily2000) led::TemplateProbe(api, target, commandTemplate);
    if (!step.reset) {
        led::DispatchingWrite(api, target, commandTemplate, step.settings);
    } else if (target.family == kFamily2000) {
        if (led::ModeWrite2000(api, target, commandTemplate, 0, 0, 255, 255, 255) == NVAPI_OK) {
            led::SleepOnThisThread(led::kBlockPauseMilliseconds);
            led::ColourWrite2000(api, target, commandTemplate, 1, 0, 255, 255, 255);
        }
    } else {
        led::Write3000(api, target, LedSettings{1, 1, 0, 1, 0, 0, 255, 255, 255});
    }
}

class LedRoad : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        const std::wstring directory =
            std::wstring(temp) + L"lumivar-road-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(directory.c_str(), nullptr);
        const std::wstring scenarioPath = directory + L"\\scenario.txt";
        const std::wstring logPath = directory + L"\\driver-log.jsonl";
        DeleteFileW(logPath.c_str());
        {
            std::ofstream scenario(scenarioPath.c_str(), std::ios::binary);
            scenario << "default-gpus\nlog " << Utf8(logPath) << "\n";
        }
        // Read by the driver module on its first query, so before any driver call.
        std::wstring variable(simdriver::kScenarioVariable,
                              simdriver::kScenarioVariable +
                                  std::char_traits<char>::length(simdriver::kScenarioVariable));
        ASSERT_TRUE(SetEnvironmentVariableW(variable.c_str(), scenarioPath.c_str()));

        Road& road = TheRoad();
        nvapi::NvApiAccess& api = nvapi::ProcessNvApi();
        WriteDiscoveryDefaults(road.table);
        road.discovery = FindGpus(api, road.table);
        road.discovered = road.discovery.failure == DiscoveryFailure::kNone;
        if (road.discovered) {
            for (const Step& step : kSteps) RunStep(api, road.table, step);
        }
        api.Unload();

        std::ifstream log(logPath.c_str(), std::ios::binary);
        road.log = jsonline::ReadLines(log, &road.unreadableLines);
        log.close();
        DeleteFileW(logPath.c_str());
        DeleteFileW(scenarioPath.c_str());
        RemoveDirectoryW(directory.c_str());
    }
};

bool IsTransfer(const jsonline::Object& line) {
    const std::string call = line.Text("call");
    return call == "NvAPI_I2CWriteEx" || call == "NvAPI_I2CReadEx";
}

std::vector<jsonline::Object> Transfers() {
    std::vector<jsonline::Object> transfers;
    for (const auto& line : TheRoad().log) {
        if (IsTransfer(line)) transfers.push_back(line);
    }
    return transfers;
}

std::string Repeat3000(const std::string& head, const std::string& group) {
    std::string bytes = head;
    for (int i = 0; i < 8; ++i) bytes += " " + group;
    return bytes;
}

struct Sent {
    const char* call;
    int64_t bus;
    std::string data;
    int64_t cbSize;
    int64_t i2cSpeedKhz;
};

const char* const kRead = "NvAPI_I2CReadEx";
const char* const kWrite = "NvAPI_I2CWriteEx";

// What the steps above must put on the wire, in order.
std::vector<Sent> ExpectedTransfers() {
    const std::string probe = "00 00 00 00 00 00 00 00";
    return {
        {kRead, kBus2000, probe, 8, 0},
        {kWrite, kBus2000, "a0 00 04 64 32 19 00 04", 8, 0},
        {kWrite, kBus2000, "a0 fc 01 64 32 19 00 04", 8, 0},
        {kRead, kBus2000, probe, 8, 0},
        {kWrite, kBus2000, "a0 fc 00 0a 14 1e 00 04", 8, 0},
        {kWrite, kBus2000, "a0 00 03 0a 14 1e 00 04", 8, 0},
        {kRead, kBus2000, probe, 8, 0},
        {kWrite, kBus2000, "a0 00 00 ff ff ff 00 04", 8, 0},
        {kWrite, kBus2000, "a0 fc 01 ff ff ff 00 04", 8, 0},
        {kWrite, kBus3000, Repeat3000("a2 01 01 05 80 80 80 00 03 02", "80 80 80 03"), 42, 1},
        {kWrite, kBus3000, Repeat3000("a2 01 01 00 ff ff ff 01 02 03", "ff ff ff 02"), 42, 1},
    };
}

TEST_F(LedRoad, DiscoveryFindsBothBoardsThroughTheRealLoader) {
    const Road& road = TheRoad();
    ASSERT_TRUE(road.discovered);
    EXPECT_FALSE(road.discovery.moreThanEightGpus);
    EXPECT_EQ(road.unreadableLines, 0);
    ASSERT_EQ(road.table.gpuCount, 2);
    EXPECT_STREQ(road.table.gpuSlots[kSlot3000].name, L"NVIDIA GeForce RTX 3080");
    EXPECT_STREQ(road.table.gpuSlots[kSlot2000].name, L"NVIDIA GeForce RTX 2080 SUPER");
    EXPECT_EQ(road.table.gpuSlots[kSlot3000].family, kFamily3000);
    EXPECT_EQ(road.table.gpuSlots[kSlot2000].family, kFamily2000);
    EXPECT_EQ(road.table.gpuSlots[kSlot2000].commandByte, 0xA0);
    EXPECT_EQ(road.table.gpuSlots[kSlot2000].i2cInfoVersion, 0x00030040u);
    // The driver saw the discovery calls before any transfer.
    std::vector<std::string> calls;
    for (const auto& line : road.log) {
        const std::string call = line.Text("call");
        if (IsTransfer(line)) break;
        // The layer's diagnostic reports around each call are not discovery's own.
        if (call.rfind("NvAPI_", 0) == 0 && call.find("Report") == std::string::npos) {
            calls.push_back(call);
        }
    }
    const std::vector<std::string> expected = {
        "NvAPI_Initialize",      "NvAPI_EnumPhysicalGPUs",      "NvAPI_EnumTCCPhysicalGPUs",
        "NvAPI_GPU_GetBusId",    "NvAPI_GPU_GetBusId",          "NvAPI_GPU_GetFullName",
        "NvAPI_GPU_GetFullName", "NvAPI_GPU_GetPCIIdentifiers", "NvAPI_GPU_GetPCIIdentifiers",
    };
    EXPECT_EQ(calls, expected);
}

TEST_F(LedRoad, BytesAndRecordFieldsInOrder) {
    const std::vector<jsonline::Object> transfers = Transfers();
    const std::vector<Sent> expected = ExpectedTransfers();
    ASSERT_EQ(transfers.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("transfer " + std::to_string(i));
        const jsonline::Object& t = transfers[i];
        EXPECT_EQ(t.Text("call"), expected[i].call);
        EXPECT_EQ(t.Number("bus", -1), expected[i].bus);
        EXPECT_EQ(t.Number("status", -1), 0);
        EXPECT_EQ(t.Text("data"), expected[i].data);
        EXPECT_EQ(t.Number("version"), 0x00030040);  // the 64-bit record's version word
        EXPECT_EQ(t.Number("displayMask", -1), 0);
        EXPECT_EQ(t.Number("bIsDDCPort", -1), 0);
        EXPECT_EQ(t.Number("i2cDevAddress"), 0x92);
        EXPECT_EQ(t.Text("pbI2cRegAddress"), "null");
        EXPECT_EQ(t.Number("regAddrSize", -1), 0);
        EXPECT_EQ(t.Text("pbData"), "set");
        EXPECT_EQ(t.Number("cbSize"), expected[i].cbSize);
        EXPECT_EQ(t.Number("i2cSpeed"), 0xFFFF);
        EXPECT_EQ(t.Number("i2cSpeedKhz", -1), expected[i].i2cSpeedKhz);
        EXPECT_EQ(t.Number("portId"), 1);
        EXPECT_EQ(t.Number("bIsPortIdSet"), 1);
    }
}

TEST_F(LedRoad, Family2000BlocksArePausedApart) {
    const std::vector<jsonline::Object> transfers = Transfers();
    ASSERT_EQ(transfers.size(), ExpectedTransfers().size());
    // Each family-2000 command: probe, first block, second block.
    for (size_t first : {1u, 4u, 7u}) {
        const int64_t gap = transfers[first + 1].Number("t") - transfers[first].Number("t");
        EXPECT_GE(gap, 450) << "blocks at " << first;
    }
}

// The board model's state line that follows each write: what the board shows afterwards.
TEST_F(LedRoad, BoardsShowWhatEachCommandSet) {
    struct Shown {
        int64_t board;
        int64_t family;
        bool on;
        const char* mode;
        int64_t red, green, blue;
        bool cycle;
        int64_t interval, brightness;
    };
    const Shown expected[] = {
        {kBus2000, 2000, false, "WAVE", 100, 50, 25, false, -1, -1},
        {kBus2000, 2000, true, "WAVE", 100, 50, 25, false, -1, -1},
        {kBus2000, 2000, false, "WAVE", 10, 20, 30, false, -1, -1},
        {kBus2000, 2000, false, "BREATHING", 10, 20, 30, false, -1, -1},
        {kBus2000, 2000, false, "STATIC", 255, 255, 255, false, -1, -1},
        {kBus2000, 2000, true, "STATIC", 255, 255, 255, false, -1, -1},
        {kBus3000, 3000, true, "GLOWING", 128, 128, 128, false, 3, 2},
        {kBus3000, 3000, true, "STATIC", 255, 255, 255, true, 2, 3},
    };
    std::vector<jsonline::Object> states;
    const auto& log = TheRoad().log;
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i].Text("call") != "NvAPI_I2CWriteEx") continue;
        ASSERT_LT(i + 1, log.size());
        states.push_back(log[i + 1]);
    }
    ASSERT_EQ(states.size(), sizeof(expected) / sizeof(expected[0]));
    for (size_t i = 0; i < states.size(); ++i) {
        SCOPED_TRACE("write " + std::to_string(i));
        const jsonline::Object& s = states[i];
        EXPECT_FALSE(s.Has("ignored")) << s.Text("ignored") << ": " << s.Text("detail");
        EXPECT_EQ(s.Number("board", -1), expected[i].board);
        EXPECT_EQ(s.Number("family"), expected[i].family);
        EXPECT_EQ(s.Bool("on", !expected[i].on), expected[i].on);
        EXPECT_EQ(s.Text("mode"), expected[i].mode);
        EXPECT_EQ(s.Number("red", -1), expected[i].red);
        EXPECT_EQ(s.Number("green", -1), expected[i].green);
        EXPECT_EQ(s.Number("blue", -1), expected[i].blue);
        EXPECT_EQ(s.Bool("cycle", !expected[i].cycle), expected[i].cycle);
        EXPECT_EQ(s.Number("interval"), expected[i].interval);
        EXPECT_EQ(s.Number("brightness"), expected[i].brightness);
    }
}

}  // namespace
