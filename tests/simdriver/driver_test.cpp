// The driver as its callers meet it: the checks a real driver makes, the faults a scenario
// injects, the log, and callers on several threads.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "simdriver/scenario.h"
#include "simdriver/sim_driver.h"

namespace {

using namespace nvapi_id;
using Gpu = NvPhysicalGpuHandle;
using Record = NV_I2C_INFO_V3*;

template <typename Fn, typename... Args>
NvAPI_Status Ask(NvU32 id, Args... args) {
    return reinterpret_cast<Fn>(simdriver::QueryInterface(id))(args...);
}

// Configures the driver by a scenario's text, initialises it as the access layer does on load,
// and enumerates: the handles, as many as the driver reports.
std::vector<Gpu> StartDriver(const std::string& scenarioText) {
    simdriver::Scenario scenario;
    std::string error;
    EXPECT_TRUE(simdriver::ParseScenario(scenarioText, scenario, error)) << error;
    simdriver::Configure(scenario);
    Ask<NvInitializeFn>(kInitialize);
    std::vector<Gpu> gpus(NVAPI_MAX_PHYSICAL_GPUS);
    NvU32 count = 0;
    Ask<NvEnumPhysicalGPUsFn>(kEnumPhysicalGPUs, gpus.data(), &count);
    gpus.resize(count);
    return gpus;
}

// Sends a transfer as the program makes it, after a case has spoiled what it tries.
NvAPI_Status Send(
    Gpu gpu, std::vector<NvU8> bytes, NvU32 id = kI2CWriteEx,
    void (*spoil)(Gpu&, Record&) = [](Gpu&, Record&) {}) {
    NV_I2C_INFO_V3 info{};
    info.version = NV_I2C_INFO_VER3;
    info.i2cDevAddress = simdriver::kControllerAddress;
    info.pbData = bytes.data();
    info.cbSize = static_cast<NvU32>(bytes.size());
    Record record = &info;
    NvU32 scratch[2] = {};
    spoil(gpu, record);
    return Ask<NvI2CTransferFn>(id, gpu, record, scratch);
}

TEST(DriverChecks, RefusesTransfersARealDriverRefuses) {
    const struct {
        void (*spoil)(Gpu&, Record&);
        NvAPI_Status status;
    } cases[] = {
        {[](Gpu&, Record&) {}, NVAPI_OK},  // 64 bytes, the most the controller takes
        // The version of the other bitness's record, whose pointers have another size.
        {[](Gpu&, Record& r) { r->version = 3u << 16 | (sizeof(void*) == 8 ? 44 : 64); }, -9},
        {[](Gpu& g, Record& r) { g = reinterpret_cast<Gpu>(r); }, NVAPI_INVALID_HANDLE},
        {[](Gpu& g, Record&) { g = nullptr; }, NVAPI_INVALID_HANDLE},
        {[](Gpu&, Record& r) { r = nullptr; }, NVAPI_INVALID_ARGUMENT},
        {[](Gpu&, Record& r) { r->pbData = nullptr; }, NVAPI_INVALID_ARGUMENT},
        {[](Gpu&, Record& r) { ++r->cbSize; }, NVAPI_INVALID_ARGUMENT},
    };
    const Gpu gpu = StartDriver("default-gpus")[0];
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(Send(gpu, std::vector<NvU8>(64), kI2CWriteEx, cases[i].spoil), cases[i].status)
            << "case " << i;
    }
}

// The faults other tests set in their scenarios, each where a caller meets it.
TEST(DriverChecks, InjectsTheScenariosFaults) {
    const std::vector<Gpu> gpus = StartDriver(
        "default-gpus\ngpu bus=9 pci=1 name=x bus-status=-101 name-status=-5 pci-status=-6\n"
        "enum-reported-count 70\ntcc-enum-status -11\ni2c-write-fail 2 -42\ni2c-read-fail 1\n"
        "unload-status -209\nmissing-call-return-hook");
    Gpu handles[NVAPI_MAX_PHYSICAL_GPUS];
    NvU32 n = 0;
    char name[NVAPI_SHORT_STRING_MAX];
    EXPECT_EQ(gpus.size(), 70u);  // as reported, though three were written
    EXPECT_EQ(Ask<NvEnumPhysicalGPUsFn>(kEnumTCCPhysicalGPUs, handles, &n), -11);
    EXPECT_EQ(Ask<NvGpuGetBusIdFn>(kGpuGetBusId, gpus[2], &n), -101);
    EXPECT_EQ(Ask<NvGpuGetFullNameFn>(kGpuGetFullName, gpus[2], name), -5);
    EXPECT_EQ(Ask<NvGpuGetPCIIdentifiersFn>(kGpuGetPCIIdentifiers, gpus[2], &n, &n, &n, &n), -6);
    EXPECT_EQ(Send(gpus[1], {0xA0, 0xFC, 0x01, 1, 2, 3, 0x00, 0x04}), NVAPI_OK);
    EXPECT_EQ(Send(gpus[1], {0xA0, 0xFC, 0x00, 1, 2, 3, 0x00, 0x04}), -42);
    EXPECT_TRUE(simdriver::Board(2).on);  // the failed write never reached the board
    EXPECT_EQ(Send(gpus[1], std::vector<NvU8>(8), kI2CReadEx), NVAPI_ERROR);
    EXPECT_EQ(Send(gpus[1], std::vector<NvU8>(8), kI2CReadEx), NVAPI_OK);
    EXPECT_EQ(simdriver::QueryInterface(kCallReturnHook), nullptr);
    EXPECT_EQ(Ask<NvUnloadFn>(kUnload), -209);

    StartDriver("initialize-status -6\nmissing-hooks\nmissing-interface 0x4D7B0709");
    EXPECT_EQ(Ask<NvInitializeFn>(kInitialize), -6);
    EXPECT_EQ(Ask<NvEnumPhysicalGPUsFn>(kEnumPhysicalGPUs, handles, &n), NVAPI_API_NOT_INITIALIZED);
    for (NvU32 id : {kCallStartHook, kCallReturnHook, kI2CReadEx})
        EXPECT_EQ(simdriver::QueryInterface(id), nullptr);
    EXPECT_TRUE(StartDriver("default-gpus\nenum-status -7").empty());
}

using Thermal = NV_GPU_THERMAL_SETTINGS;

NvAPI_Status AskThermal(Gpu gpu, Thermal* settings, NvU32 index = NVAPI_THERMAL_TARGET_ALL) {
    return Ask<NvGpuGetThermalSettingsFn>(kGpuGetThermalSettings, gpu, index, settings);
}

// Checked in a real driver's order, then answered with one sensor, the GPU's own; the other two
// and every refused record are left as the caller sent them.
TEST(DriverChecks, RefusesThermalQueriesARealDriverRefuses) {
    const struct {
        void (*spoil)(Gpu&, Thermal*&, NvU32&);
        NvAPI_Status status;
    } cases[] = {
        {[](Gpu&, Thermal*&, NvU32&) {}, NVAPI_OK},
        {[](Gpu& g, Thermal*& r, NvU32&) { g = reinterpret_cast<Gpu>(r); }, NVAPI_INVALID_HANDLE},
        {[](Gpu& g, Thermal*& r, NvU32&) { g = nullptr, r = nullptr; }, NVAPI_INVALID_HANDLE},
        {[](Gpu&, Thermal*& r, NvU32&) { r = nullptr; }, NVAPI_INVALID_ARGUMENT},
        {[](Gpu&, Thermal*& r, NvU32&) { r->version = 1u << 16 | 68; }, -9},
        {[](Gpu&, Thermal*& r, NvU32& i) { r->version = 2u << 16 | 64, i = 0; }, -9},
        {[](Gpu&, Thermal*&, NvU32& i) { i = 0; }, NVAPI_INVALID_ARGUMENT},
        {[](Gpu&, Thermal*&, NvU32& i) { i = NVAPI_THERMAL_TARGET_GPU; }, NVAPI_INVALID_ARGUMENT},
    };
    Gpu gpu = StartDriver("gpu bus=3 pci=1 name=a temperature=-5")[0];
    for (size_t i = 0; i < std::size(cases); ++i) {
        Thermal settings;
        std::memset(&settings, 0xAB, sizeof settings);
        settings.version = NV_GPU_THERMAL_SETTINGS_VER_2;
        Thermal* record = &settings;
        NvU32 index = NVAPI_THERMAL_TARGET_ALL;
        Gpu asked = gpu;
        cases[i].spoil(asked, record, index);
        Thermal sent = settings;
        EXPECT_EQ(AskThermal(asked, record, index), cases[i].status) << "case " << i;
        if (cases[i].status == NVAPI_OK) {
            sent.count = 1;
            sent.sensor[0] = {NVAPI_THERMAL_CONTROLLER_GPU_INTERNAL, 0, 127, -5, 1};
        }
        EXPECT_EQ(std::memcmp(&settings, &sent, sizeof sent), 0) << "case " << i;
    }
    StartDriver("gpu bus=3 pci=1 name=a\nthermal-status -104");
    Thermal settings{NV_GPU_THERMAL_SETTINGS_VER_2, 0, {}};
    EXPECT_EQ(AskThermal(gpu, &settings), NVAPI_INVALID_HANDLE);  // of the earlier driver
    gpu = StartDriver("gpu bus=3 pci=1 name=a\nthermal-status -104")[0];
    EXPECT_EQ(AskThermal(gpu, &settings, 0), NVAPI_INVALID_ARGUMENT);  // checks come first
    EXPECT_EQ(AskThermal(gpu, &settings), -104);
    EXPECT_EQ(Ask<NvUnloadFn>(kUnload), NVAPI_OK);
    EXPECT_EQ(AskThermal(gpu, &settings), NVAPI_API_NOT_INITIALIZED);
}

// Every query reads the temperatures file afresh, so a GPU warms while the driver is loaded: a
// bus the file names takes its temperature, or with "-" cannot be read; a bus it does not name,
// or a missing file, keeps the scenario's. The log says what each query returned.
TEST(DriverTemperatures, FollowTheFileWhileTheDriverRuns) {
    const std::string path = testing::TempDir() + "simdriver_temperatures.txt";
    std::remove(path.c_str());
    const std::vector<Gpu> gpus = StartDriver(
        "gpu bus=1 pci=1 name=a temperature=55\ngpu bus=2 pci=1 name=b\ntemperatures " + path);
    const std::optional<int> none;  // the query fails with NVAPI_ERROR
    // The file (null: none), then what the GPUs on buses 1 and 2 read.
    const std::tuple<const char*, std::optional<int>, std::optional<int>> steps[] = {
        {nullptr, 55, 45},
        {"1 62\n", 62, 45},
        {"2 -\r\n1 70\r\n", 70, none},
        {"1 80\n1 81\nbus 9\n2 x\n2 1 1\n\n", 81, 45},  // the last of bus 1; other forms skipped
        {"", 55, 45},
        {" 2  -40 ", 55, -40},
        {nullptr, 55, 45},
    };
    for (const auto& [text, first, second] : steps) {
        if (text) std::ofstream(path, std::ios::binary) << text;
        if (!text) std::remove(path.c_str());
        for (size_t i = 0; i < 2; ++i) {
            Thermal settings{NV_GPU_THERMAL_SETTINGS_VER_2, 0, {}};
            const NvAPI_Status status = AskThermal(gpus[i], &settings);
            EXPECT_EQ(status, (i ? second : first) ? NVAPI_OK : NVAPI_ERROR) << i;
            EXPECT_EQ(status ? none : settings.sensor[0].currentTemp, i ? second : first) << i;
        }
    }
    const std::vector<std::string> lines = simdriver::LogLines();
    const auto untimed = [&lines](size_t i) {
        auto line = nlohmann::ordered_json::parse(lines.at(i));
        line.erase("t");
        return line.dump();
    };
    EXPECT_EQ(untimed(5),
              R"({"call":"NvAPI_GPU_GetThermalSettings","bus":1,"status":0,"sensorIndex":15,)"
              R"("temperature":62})");
    EXPECT_EQ(untimed(8),
              R"({"call":"NvAPI_GPU_GetThermalSettings","bus":2,"status":-1,"sensorIndex":15})");
    std::remove(path.c_str());
}

// A GPU name that is not UTF-8, and is cut mid-character at 64 bytes, still makes a log line that
// parses, each bad sequence written as U+FFFD; so does a scenario error quoting a bad byte. The
// second configuration appends to the file the first one wrote.
TEST(DriverLog, IsJsonWhateverBytesANameHolds) {
    const std::string path = testing::TempDir() + "simdriver_log_test.jsonl";
    const std::string x56(56, 'x'), bad = "\xef\xbf\xbd";
    std::remove(path.c_str());
    char name[NVAPI_SHORT_STRING_MAX];
    const std::vector<Gpu> gpus = StartDriver(
        "log " + path + "\ngpu bus=5 pci=1 name=\"\\xff\\xfeGTX " + x56 + "\\xe3\\x81\\x82\"");
    EXPECT_EQ(Ask<NvGpuGetFullNameFn>(kGpuGetFullName, gpus.at(0), name), NVAPI_OK);
    simdriver::ConfigureFailed("s.txt, line 3: unknown directive '\xff'", path);
    std::ifstream file(path, std::ios::binary);
    std::vector<nlohmann::ordered_json> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(nlohmann::ordered_json::parse(line));  // throws if it is not JSON
        lines.back().erase("t");
    }
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3].dump(), R"({"call":"NvAPI_GPU_GetFullName","bus":5,"status":0,"name":")" +
                                   bad + bad + "GTX " + x56 + bad + "\"}");
    EXPECT_EQ(lines[4]["error"], "s.txt, line 3: unknown directive '" + bad + "'");
    std::remove(path.c_str());
}

// Two threads write to two boards while a third reads the record of calls: every write is
// served and recorded whole. (The threaded test target runs this one under ThreadSanitizer.)
TEST(DriverThreads, ServesConcurrentCallers) {
    const std::vector<Gpu> gpus = StartDriver("default-gpus");
    auto writer = [&](size_t gpu, std::vector<NvU8> block) {
        for (int i = 0; i < 200; ++i, ++block[3]) EXPECT_EQ(Send(gpus[gpu], block), NVAPI_OK);
    };
    std::thread first(writer, 0, std::vector<NvU8>(42, 0xA2));
    std::thread second(writer, 1, std::vector<NvU8>{0xA0, 0x00, 0, 0, 0, 0, 0x00, 0x04});
    for (int i = 0; i < 20; ++i) simdriver::Calls();
    first.join();
    second.join();
    EXPECT_EQ(simdriver::Calls().size(), 402u);  // initialise, enumerate and every write
    EXPECT_EQ(simdriver::Board(2).red, 199);     // the last mode block, taken whole
}

}  // namespace
