// The few driver types, statuses and interface identifiers this program uses, declared here
// so that nothing of the vendor's SDK is needed to build it.
#pragma once

#include <cstddef>
#include <cstdint>

using NvU8 = uint8_t;
using NvU32 = uint32_t;
using NvS32 = int32_t;
using NvAPI_Status = int32_t;

constexpr NvAPI_Status NVAPI_OK = 0;
constexpr NvAPI_Status NVAPI_ERROR = -1;
constexpr NvAPI_Status NVAPI_LIBRARY_NOT_FOUND = -2;
constexpr NvAPI_Status NVAPI_NO_IMPLEMENTATION = -3;
constexpr NvAPI_Status NVAPI_API_NOT_INITIALIZED = -4;
constexpr NvAPI_Status NVAPI_INVALID_ARGUMENT = -5;
constexpr NvAPI_Status NVAPI_NVIDIA_DEVICE_NOT_FOUND = -6;
constexpr NvAPI_Status NVAPI_INVALID_HANDLE = -8;
constexpr NvAPI_Status NVAPI_INCOMPATIBLE_STRUCT_VERSION = -9;
constexpr NvAPI_Status NVAPI_API_IN_USE = -209;

// Our own code for "no GPU enumerated", shown like a failed initialisation.
constexpr NvAPI_Status kNoGpuEnumerated = -1000;

constexpr size_t NVAPI_MAX_PHYSICAL_GPUS = 64;
constexpr size_t NVAPI_SHORT_STRING_MAX = 64;
using NvAPI_ShortString = char[NVAPI_SHORT_STRING_MAX];

struct NvPhysicalGpuHandle__ {
    int unused;
};
using NvPhysicalGpuHandle = NvPhysicalGpuHandle__*;

// Bus speed selector of the I2C record; only its numeric values matter here.
enum NV_I2C_SPEED : NvU32 {
    NV_I2C_SPEED_DEFAULT = 0,
    NV_I2C_SPEED_LOWEST = 1,
};

struct NV_I2C_INFO_V3 {
    NvU32 version;
    NvU32 displayMask;
    NvU8 bIsDDCPort;
    NvU8 i2cDevAddress;
    NvU8* pbI2cRegAddress;
    NvU32 regAddrSize;
    NvU8* pbData;
    NvU32 cbSize;
    NvU32 i2cSpeed;
    NV_I2C_SPEED i2cSpeedKhz;
    NvU8 portId;
    NvU32 bIsPortIdSet;
};

// The driver checks this word: record size in the low 16 bits, structure version in the high.
// The size follows the bitness, so a 64-bit build sends what a 64-bit driver expects.
constexpr NvU32 NV_I2C_INFO_VER3 = (3u << 16) | static_cast<NvU32>(sizeof(NV_I2C_INFO_V3));

static_assert(sizeof(void*) != 4 || sizeof(NV_I2C_INFO_V3) == 44, "32-bit I2C record is 44 bytes");
static_assert(sizeof(void*) != 8 || sizeof(NV_I2C_INFO_V3) == 64, "64-bit I2C record is 64 bytes");
static_assert(sizeof(void*) != 4 || NV_I2C_INFO_VER3 == 0x0003002Cu, "32-bit record version");
static_assert(sizeof(void*) != 8 || NV_I2C_INFO_VER3 == 0x00030040u, "64-bit record version");

// A GPU's temperature sensors, version 2: temperatures in degrees Celsius.
constexpr size_t NVAPI_MAX_THERMAL_SENSORS_PER_GPU = 3;
constexpr NvU32 NVAPI_THERMAL_TARGET_ALL = 15;  // the sensor index that asks for every sensor
constexpr NvU32 NVAPI_THERMAL_TARGET_GPU = 1;   // a sensor that measures the GPU itself
constexpr NvU32 NVAPI_THERMAL_CONTROLLER_GPU_INTERNAL = 1;

struct NV_GPU_THERMAL_SENSOR {
    NvU32 controller;
    NvS32 defaultMinTemp;
    NvS32 defaultMaxTemp;
    NvS32 currentTemp;
    NvU32 target;
};

struct NV_GPU_THERMAL_SETTINGS {
    NvU32 version;
    NvU32 count;  // sensors filled in, from the first
    NV_GPU_THERMAL_SENSOR sensor[NVAPI_MAX_THERMAL_SENSORS_PER_GPU];
};

// No pointers, so one size for both bitnesses.
constexpr NvU32 NV_GPU_THERMAL_SETTINGS_VER_2 =
    (2u << 16) | static_cast<NvU32>(sizeof(NV_GPU_THERMAL_SETTINGS));
static_assert(sizeof(NV_GPU_THERMAL_SETTINGS) == 68, "thermal record is 68 bytes");
static_assert(NV_GPU_THERMAL_SETTINGS_VER_2 == 0x00020044u, "thermal record version");

// Colour and shade arithmetic must be exact single precision; x87 evaluation would change it.
#if defined(__FLT_EVAL_METHOD__)
static_assert(__FLT_EVAL_METHOD__ == 0, "floating point must be evaluated in its own precision");
#endif

// The driver's module for a process of this bitness.
#if defined(_WIN64) || (!defined(_WIN32) && UINTPTR_MAX > 0xFFFFFFFFu)
#define NVAPI_MODULE_NAME L"nvapi64.dll"
#else
#define NVAPI_MODULE_NAME L"nvapi.dll"
#endif

// Interface identifiers handed to nvapi_QueryInterface.
namespace nvapi_id {
constexpr NvU32 kInitialize = 0x0150E828;
constexpr NvU32 kUnload = 0xD22BDD7E;
constexpr NvU32 kUnloadWithArgument = 0xD7C61344;
constexpr NvU32 kCallStartHook = 0x33C7358C;
constexpr NvU32 kCallReturnHook = 0x593E8644;
constexpr NvU32 kEnumPhysicalGPUs = 0xE5AC921F;
constexpr NvU32 kEnumTCCPhysicalGPUs = 0xD9930B07;
constexpr NvU32 kGpuGetFullName = 0xCEEE8E9F;
constexpr NvU32 kGpuGetPCIIdentifiers = 0x2DDFB66E;
constexpr NvU32 kGpuGetBusId = 0x1BE0B8E5;
constexpr NvU32 kI2CWriteEx = 0x283AC65A;
constexpr NvU32 kI2CReadEx = 0x4D7B0709;
constexpr NvU32 kGpuGetThermalSettings = 0xE3640A56;
}  // namespace nvapi_id

// Signatures of the driver's functions as resolved through the query entry.
extern "C" {
typedef void* (*NvQueryInterfaceFn)(NvU32 id);
typedef NvAPI_Status (*NvInitializeFn)();
typedef NvAPI_Status (*NvUnloadFn)();
typedef NvAPI_Status (*NvUnloadWithArgumentFn)(NvU32 argument);
typedef NvAPI_Status (*NvCallStartHookFn)(NvU32 id, NvU32* context);
typedef NvAPI_Status (*NvCallReturnHookFn)(NvU32 id, NvU32 word0, NvU32 word1, NvAPI_Status status);
typedef NvAPI_Status (*NvEnumPhysicalGPUsFn)(NvPhysicalGpuHandle* handles, NvU32* count);
typedef NvAPI_Status (*NvGpuGetFullNameFn)(NvPhysicalGpuHandle gpu, char* name);
typedef NvAPI_Status (*NvGpuGetPCIIdentifiersFn)(NvPhysicalGpuHandle gpu, NvU32* deviceId,
                                                 NvU32* subSystemId, NvU32* revisionId,
                                                 NvU32* extDeviceId);
typedef NvAPI_Status (*NvGpuGetBusIdFn)(NvPhysicalGpuHandle gpu, NvU32* busId);
typedef NvAPI_Status (*NvGpuGetThermalSettingsFn)(NvPhysicalGpuHandle gpu, NvU32 sensorIndex,
                                                  NV_GPU_THERMAL_SETTINGS* settings);
typedef NvAPI_Status (*NvI2CTransferFn)(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info,
                                        NvU32* scratch);
}
