// A GPU's temperature as its driver reports it, for lighting that follows how warm a board is.
#pragma once

#include <optional>

#include "core/nvapi/nvapi_access.h"

// The current temperature (degrees Celsius) of the first sensor, of those the driver filled in,
// that measures the GPU itself; none when no such sensor is there.
std::optional<int> GpuSensorTemperature(const NV_GPU_THERMAL_SETTINGS& settings);

// Asks the driver for every sensor of the GPU. None when the call fails or no sensor measures
// the GPU: its temperature cannot be read.
std::optional<int> ReadGpuTemperature(nvapi::NvApiAccess& api, NvPhysicalGpuHandle gpu);
