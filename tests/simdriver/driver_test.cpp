// The driver as its callers meet it: the checks a real driver makes, the faults a scenario
// injects, the log, and callers on several threads.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
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
