// The slot table that discovery fills once at start-up and every later part reads.
#pragma once

#include <cstdint>

#include "core/nvapi/nvapi_types.h"

constexpr int kMaxGpuSlots = 8;
constexpr int kGpuNameLength = 39;  // characters kept of the driver's name

enum BoardFamily : int32_t {
    kFamily2000 = 2000,
    kFamily3000 = 3000,
};

constexpr uint8_t kLedControllerAddress = 0x92;
constexpr uint8_t kCommandByte2000 = 0xA0;
constexpr uint8_t kCommandByte3000 = 0xA2;

struct GpuSlot {
    wchar_t name[kGpuNameLength + 1] = {};
    int32_t handleIndex = 0;
    int32_t supported = 0;
    int32_t family = kFamily3000;
    uint32_t i2cInfoVersion = NV_I2C_INFO_VER3;
    uint8_t commandByte = kCommandByte3000;
    // What discovery read of the GPU, 0 where it could not: its bus number and its PCI
    // identifier (device in the high 16 bits, vendor in the low).
    uint32_t bus = 0;
    uint32_t pciIdentifier = 0;
};

struct GpuTable {
    GpuSlot gpuSlots[kMaxGpuSlots];
    int32_t gpuCount = 0;
    NvPhysicalGpuHandle gpuHandles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    uint8_t ledControllerAddress = kLedControllerAddress;
};
