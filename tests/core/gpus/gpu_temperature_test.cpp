#include "core/gpus/gpu_temperature.h"

#include <gtest/gtest.h>

#include <array>

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

// Through the driver: its record and question pass the driver's checks; a failed call gives
// nothing.
TEST(GpuTemperature, ReadsTheDriversGpuSensorOrNothing) {
    for (const NvAPI_Status status : {NVAPI_OK, -7}) {
        simdriver::Scenario scenario;
        scenario.gpus.resize(1);
        scenario.gpus[0].temperature = 71;
        scenario.thermalStatus = status;
        auto&& [driver, api] = SimulatedAccess(scenario);
        NvPhysicalGpuHandle gpus[NVAPI_MAX_PHYSICAL_GPUS] = {};
        NvU32 count = 0;
        ASSERT_EQ(api.EnumPhysicalGPUs(gpus, &count), NVAPI_OK);
        EXPECT_EQ(ReadGpuTemperature(api, gpus[0]), status ? std::nullopt : std::optional(71));
    }
}

}  // namespace
