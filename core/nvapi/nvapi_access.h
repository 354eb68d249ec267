// The program's only road to the driver: lazy load and bind, functions resolved once per load
// by interface identifier, reference-counted initialise and unload, and forwarded calls counted
// so that an unload never pulls the module away from under a running call.
#pragma once

#include <atomic>
#include <mutex>

#include "core/nvapi/driver_module_platform.h"
#include "core/nvapi/nvapi_types.h"

namespace nvapi {

class NvApiAccess {
  public:
    explicit NvApiAccess(DriverModulePlatform& platform) : platform_(platform) {}
    NvApiAccess(const NvApiAccess&) = delete;
    NvApiAccess& operator=(const NvApiAccess&) = delete;

    NvAPI_Status Initialize();
    NvAPI_Status Unload();

    NvAPI_Status EnumPhysicalGPUs(NvPhysicalGpuHandle* handles, NvU32* count);
    NvAPI_Status EnumTCCPhysicalGPUs(NvPhysicalGpuHandle* handles, NvU32* count);
    NvAPI_Status GPU_GetFullName(NvPhysicalGpuHandle gpu, char* name);
    NvAPI_Status GPU_GetPCIIdentifiers(NvPhysicalGpuHandle gpu, NvU32* deviceId, NvU32* subSystemId,
                                       NvU32* revisionId, NvU32* extDeviceId);
    NvAPI_Status GPU_GetBusId(NvPhysicalGpuHandle gpu, NvU32* busId);
    NvAPI_Status GPU_GetThermalSettings(NvPhysicalGpuHandle gpu, NvU32 sensorIndex,
                                        NV_GPU_THERMAL_SETTINGS* settings);
    NvAPI_Status I2CWriteEx(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info, NvU32* scratch);
    NvAPI_Status I2CReadEx(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info, NvU32* scratch);

    // Observations for tests and diagnostics.
    bool IsLoaded() const { return module_.load() != nullptr; }
    int ReferenceCount() const { return referenceCount_.load(); }
    int InUseCount() const { return inUse_.load(); }

  private:
    enum CacheSlot {
        kEnumPhysical,
        kEnumTcc,
        kFullName,
        kPciIdentifiers,
        kBusId,
        kThermalSettings,
        kI2CWrite,
        kI2CRead,
        kCacheSlots
    };

    NvAPI_Status WaitWhileUnloading();
    NvAPI_Status EnsureLoaded();
    NvAPI_Status LoadAndBindLocked();
    NvAPI_Status Bind(void* module);
    NvAPI_Status UnloadLocked();
    void ClearEntryCache();
    void* Resolve(NvU32 id) const;
    template <typename Fn, typename... Args>
    NvAPI_Status Forward(CacheSlot slot, NvU32 id, Args... args);

    DriverModulePlatform& platform_;
    std::mutex lock_;  // serialises initialise, unload and the load-and-bind path
    std::atomic<void*> module_{nullptr};
    std::atomic<NvQueryInterfaceFn> queryInterface_{nullptr};
    std::atomic<NvInitializeFn> initialize_{nullptr};
    std::atomic<NvCallStartHookFn> callStartHook_{nullptr};
    std::atomic<NvCallReturnHookFn> callReturnHook_{nullptr};
    std::atomic<void*> entryCache_[kCacheSlots] = {};
    std::atomic<int> referenceCount_{0};
    std::atomic<int> inUse_{0};
    std::atomic<bool> unloading_{false};
};

}  // namespace nvapi
