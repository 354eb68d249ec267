#include "core/gpus/gpu_temperature.h"

#include <algorithm>

std::optional<int> GpuSensorTemperature(const NV_GPU_THERMAL_SETTINGS& settings) {
    // A count above the record's three sensors must not read past it.
    const size_t filled = std::min<size_t>(settings.count, NVAPI_MAX_THERMAL_SENSORS_PER_GPU);
    for (size_t i = 0; i < filled; ++i) {
        if (settings.sensor[i].target == NVAPI_THERMAL_TARGET_GPU) {
            return settings.sensor[i].currentTemp;
        }
    }
    return std::nullopt;
}

std::optional<int> ReadGpuTemperature(nvapi::NvApiAccess& api, NvPhysicalGpuHandle gpu) {
    NV_GPU_THERMAL_SETTINGS settings{};
    settings.version = NV_GPU_THERMAL_SETTINGS_VER_2;
    if (api.GPU_GetThermalSettings(gpu, NVAPI_THERMAL_TARGET_ALL, &settings) != NVAPI_OK) {
        return std::nullopt;
    }
    return GpuSensorTemperature(settings);
}
