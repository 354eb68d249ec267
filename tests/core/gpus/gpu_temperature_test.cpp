#include "core/gpus/gpu_temperature.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>

#include "tests/support/in_process/in_process_driver.h"

namespace {

NV_GPU_THERMAL_SENSOR Sensor(NvU32 target, NvS32 celsius) {
    return {NVAPI_THERMAL_CONTROLLER_GPU_INTERNAL, 0, 127, celsius, target};
}

// The first GPU sensor among those the driver filled in, never one past the count or the
// record's three.
TEST(GpuTemperature, TakesTheFirstFilledSensorThatMeasuresTheGpu) {
    const NvU32 kGpu = NVAPI_THERMAL_TARGET_GPU, kBoard = 8, kMemory = 2;
    // The count, the three sensors, and the temperature taken.
    const std::tuple<NvU32, std::array<NV_GPU_THERMAL_SENSOR, 3>, std::optional<int>> cases[] = {
        {1, {Sensor(kGpu, 61), Sensor(kGpu, 90), Sensor(kGpu, 91)}, 61},
        {3, {Sensor(kMemory, 80), Sensor(kBoard, 50), Sensor(kGpu, -12)}, -12},
        {3, {Sensor(kMemory, 80), Sensor(kBoard, 50), Sensor(kMemory, 70)}, std::nullopt},
        {2, {Sensor(kMemory, 80), Sensor(kBoard, 50), Sensor(kGpu, 70)}, std::nullopt},
        {0, {Sensor(kGpu, 60), Sensor(kGpu, 60), Sensor(kGpu, 60)}, std::nullopt},
        {0xFFFFFFFF, {Sensor(kBoard, 1), Sensor(kMemory, 2), Sensor(kGpu, 3)}, 3},
        {4, {Sensor(kBoard, 1), Sensor(kMemory, 2), Sensor(kBoard, 3)}, std::nullopt},
    };
    for (const auto& [count, sensors, expected] : cases) {
        // A fourth sensor just past the record: read only if the count were trusted.
        struct {
            NV_GPU_THERMAL_SETTINGS settings;
            NV_GPU_THERMAL_SENSOR beyond;
        } padded = {{NV_GPU_THERMAL_SETTINGS_VER_2, count, {sensors[0], sensors[1], sensors[2]}},
                    Sensor(kGpu, 99)};
        EXPECT_EQ(GpuSensorTemperature(padded.settings), expected) << count;
    }
}

// Through the driver: its record and question pass the driver's checks; a failed call or an
// unreadable sensor gives nothing.
TEST(GpuTemperature, ReadsTheDriversGpuSensorOrNothing) {
    const std::string file = testing::TempDir() + "gpu_temperature_test.txt";
    std::ofstream(file) << "1 -\n";
    // The GPU's bus, the driver's status, and the temperature read.
    const std::tuple<uint32_t, NvAPI_Status, std::optional<int>> cases[] = {
        {2, NVAPI_OK, 71},
        {2, NVAPI_NO_IMPLEMENTATION, std::nullopt},
        {2, -7, std::nullopt},
        {1, NVAPI_OK, std::nullopt}};  // bus 1 unreadable in the file
    for (const auto& [bus, status, expected] : cases) {
        simdriver::Scenario scenario;
        scenario.gpus.resize(2);
        scenario.gpus[0].bus = 1;
        std::tie(scenario.gpus[1].bus, scenario.gpus[1].temperature) = std::make_pair(2, 71);
        scenario.temperaturesPath = file;
        if (status == NVAPI_NO_IMPLEMENTATION) {
            scenario.missingInterfaces = {nvapi_id::kGpuGetThermalSettings};
        } else {
            scenario.thermalStatus = status;
        }
        simdriver::Configure(scenario);
        InProcessDriver driver;
        nvapi::NvApiAccess api(driver);
        NvPhysicalGpuHandle gpus[NVAPI_MAX_PHYSICAL_GPUS] = {};
        NvU32 count = 0;
        ASSERT_EQ(api.EnumPhysicalGPUs(gpus, &count), NVAPI_OK);
        EXPECT_EQ(ReadGpuTemperature(api, gpus[bus - 1]), expected) << bus << " " << status;
    }
    std::remove(file.c_str());
}

}  // namespace
