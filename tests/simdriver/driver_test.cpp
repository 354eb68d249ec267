// The driver as its callers meet it: the checks a real driver makes, and callers on several
// threads. (The faults a scenario injects are met where the program's tests set them.)
#include <gtest/gtest.h>

#include <cstring>
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
        {[](Gpu&, Thermal*& r, NvU32&) { r = nullptr; }, NVAPI_INVALID_ARGUMENT},
        {[](Gpu&, Thermal*& r, NvU32&) { r->version = 1u << 16 | 68; }, -9},
        {[](Gpu&, Thermal*& r, NvU32& i) { r->version = 2u << 16 | 64, i = 0; }, -9},
        {[](Gpu&, Thermal*&, NvU32& i) { i = 0; }, NVAPI_INVALID_ARGUMENT},
    };
    const Gpu gpu = StartDriver("gpu bus=3 pci=1 name=a temperature=-5")[0];
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
