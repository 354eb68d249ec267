// Typed access to the simulated driver's functions, as a caller of nvapi_QueryInterface gets them.
#pragma once

#include <vector>

#include "core/nvapi/nvapi_types.h"
#include "simdriver/sim_driver.h"

template <typename Fn>
Fn DriverEntry(NvU32 id) {
    return reinterpret_cast<Fn>(simdriver::QueryInterface(id));
}

// Configures the driver and initialises it, as the access layer does on load.
inline void StartDriver(const simdriver::Scenario& scenario) {
    simdriver::Configure(scenario);
    DriverEntry<NvInitializeFn>(nvapi_id::kInitialize)();
}

inline std::vector<NvPhysicalGpuHandle> NormalHandles() {
    NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvU32 count = 0;
    DriverEntry<NvEnumPhysicalGPUsFn>(nvapi_id::kEnumPhysicalGPUs)(handles, &count);
    return std::vector<NvPhysicalGpuHandle>(handles, handles + count);
}

// A transfer record as the program fills it, pointing at the given bytes.
inline NV_I2C_INFO_V3 TransferRecord(std::vector<NvU8>& bytes) {
    NV_I2C_INFO_V3 info{};
    info.version = NV_I2C_INFO_VER3;
    info.i2cDevAddress = simdriver::kControllerAddress;
    info.pbData = bytes.data();
    info.cbSize = static_cast<NvU32>(bytes.size());
    info.i2cSpeed = 0xFFFF;
    info.i2cSpeedKhz = NV_I2C_SPEED_LOWEST;
    info.portId = 1;
    info.bIsPortIdSet = 1;
    return info;
}

inline NvAPI_Status WriteBlock(NvPhysicalGpuHandle gpu, std::vector<NvU8> bytes) {
    NV_I2C_INFO_V3 info = TransferRecord(bytes);
    NvU32 scratch[2] = {};
    return DriverEntry<NvI2CTransferFn>(nvapi_id::kI2CWriteEx)(gpu, &info, scratch);
}
