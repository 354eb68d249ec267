#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "simdriver/call_log.h"
#include "tests/simdriver/driver_entries.h"

namespace {

std::vector<std::string> FileLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) lines.push_back(line);
    return lines;
}

std::string WithoutTime(const std::string& line) {
    return line.substr(line.find(',') + 1);
}

std::string UniqueLogPath() {
    return testing::TempDir() + "simdriver_log_" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".jsonl";
}

TEST(CallLog, WritesEveryServedCallAsOneFlatLine) {
    const std::string path = UniqueLogPath();
    simdriver::Scenario scenario = simdriver::DefaultScenario();
    scenario.logPath = path;
    StartDriver(scenario);
    const std::vector<NvPhysicalGpuHandle> gpus = NormalHandles();
    ASSERT_EQ(WriteBlock(gpus[1], {0xA0, 0xFC, 0x01, 0xFF, 0x80, 0x0A, 0x00, 0x04}), NVAPI_OK);
    NvU32 context[2] = {};
    DriverEntry<NvCallStartHookFn>(nvapi_id::kCallStartHook)(nvapi_id::kI2CWriteEx, context);
    DriverEntry<NvCallReturnHookFn>(nvapi_id::kCallReturnHook)(nvapi_id::kI2CWriteEx, context[0],
                                                               context[1], -5);
    DriverEntry<NvUnloadWithArgumentFn>(nvapi_id::kUnloadWithArgument)(0);

    const std::string version = std::to_string(NV_I2C_INFO_VER3);
    const std::vector<std::string> expected = {
        "\"event\":\"configured\",\"gpus\":2}",
        "\"call\":\"NvAPI_Initialize\",\"bus\":-1,\"status\":0}",
        "\"call\":\"NvAPI_EnumPhysicalGPUs\",\"bus\":-1,\"status\":0}",
        "\"call\":\"NvAPI_I2CWriteEx\",\"bus\":2,\"status\":0,\"version\":" + version +
            ",\"displayMask\":0,\"bIsDDCPort\":0,\"i2cDevAddress\":146,\"pbI2cRegAddress\":"
            "\"null\","
            "\"regAddrSize\":0,\"pbData\":\"set\",\"cbSize\":8,\"i2cSpeed\":65535,"
            "\"i2cSpeedKhz\":1,\"portId\":1,\"bIsPortIdSet\":1,\"data\":\"a0 fc 01 ff 80 0a 00 "
            "04\"}",
        "\"board\":2,\"family\":2000,\"on\":true,\"mode\":\"\",\"red\":255,\"green\":128,"
        "\"blue\":10,\"cycle\":false,\"interval\":-1,\"brightness\":-1}",
        "\"call\":\"NvAPI_CallStartReport\",\"bus\":-1,\"status\":0,\"interface\":\"0x283ac65a\"}",
        "\"call\":\"NvAPI_CallReturnReport\",\"bus\":-1,\"status\":0,\"interface\":\"0x283ac65a\","
        "\"reported\":-5}",
        "\"call\":\"NvAPI_UnloadWithArgument\",\"bus\":-1,\"status\":0,\"argument\":0}",
    };
    const std::vector<std::string> lines = FileLines(path);
    EXPECT_EQ(lines, simdriver::LogLines());
    ASSERT_EQ(lines.size(), expected.size());
    int64_t previous = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        EXPECT_EQ(WithoutTime(lines[i]), expected[i]);
        ASSERT_EQ(lines[i].compare(0, 5, "{\"t\":"), 0);
        const int64_t t = std::stoll(lines[i].substr(5));
        EXPECT_GE(t, previous);
        previous = t;
    }
    for (const std::string& line : lines) EXPECT_TRUE(nlohmann::json::accept(line)) << line;
    // A new configuration appends; it never truncates what an earlier run wrote.
    simdriver::Configure(scenario);
    EXPECT_EQ(FileLines(path).size(), expected.size() + 1);
    simdriver::Configure(simdriver::DefaultScenario());
    std::remove(path.c_str());
}

TEST(CallLog, ABrokenScenarioLeavesADriverThatCannotInitialise) {
    const std::string path = UniqueLogPath();
    simdriver::ConfigureFailed("s.txt, line 3: unknown directive \"x\"", path);
    EXPECT_EQ(DriverEntry<NvInitializeFn>(nvapi_id::kInitialize)(), NVAPI_ERROR);
    NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS];
    NvU32 count = 0;
    EXPECT_EQ(DriverEntry<NvEnumPhysicalGPUsFn>(nvapi_id::kEnumPhysicalGPUs)(handles, &count),
              NVAPI_API_NOT_INITIALIZED);
    const std::vector<std::string> lines = FileLines(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(WithoutTime(lines[0]),
              "\"event\":\"scenario error\",\"error\":\"s.txt, line 3: unknown directive "
              "\\\"x\\\"\"}");
    simdriver::Configure(simdriver::DefaultScenario());
    std::remove(path.c_str());
}

TEST(CallLog, EscapesTextAndWritesBytesInLowercaseHex) {
    EXPECT_EQ(simdriver::JsonString("a\"b\\c\n\x01\xe3\x81\x82"),
              "\"a\\\"b\\\\c\\u000a\\u0001\xe3\x81\x82\"");
    EXPECT_EQ(simdriver::HexBytes({}), "");
    EXPECT_EQ(simdriver::HexBytes({0xA2, 0x01, 0x0F, 0xF0}), "a2 01 0f f0");
}

}  // namespace
