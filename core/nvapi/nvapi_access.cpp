#include "core/nvapi/nvapi_access.h"

namespace nvapi {
namespace {

constexpr int kMaxUnloadWaits = 10;
constexpr unsigned kUnloadWaitMilliseconds = 100;

}  // namespace

void NvApiAccess::ClearEntryCache() {
    for (auto& entry : entryCache_) entry.store(nullptr);
}

void* NvApiAccess::Resolve(NvU32 id) const {
    const NvQueryInterfaceFn query = queryInterface_.load();
    return query != nullptr ? query(id) : nullptr;
}

NvAPI_Status NvApiAccess::WaitWhileUnloading() {
    int sleeps = 0;
    while (unloading_.load()) {
        platform_.Sleep(kUnloadWaitMilliseconds);
        if (++sleeps == kMaxUnloadWaits) return NVAPI_ERROR;
    }
    return NVAPI_OK;
}

NvAPI_Status NvApiAccess::Bind(void* module) {
    auto query =
        reinterpret_cast<NvQueryInterfaceFn>(platform_.FindExport(module, "nvapi_QueryInterface"));
    if (query == nullptr) return NVAPI_ERROR;
    queryInterface_.store(query);
    auto initialize = reinterpret_cast<NvInitializeFn>(query(nvapi_id::kInitialize));
    if (initialize == nullptr) return NVAPI_ERROR;
    initialize_.store(initialize);
    const NvAPI_Status status = initialize();
    if (status != NVAPI_OK) return status;
    auto callStart = reinterpret_cast<NvCallStartHookFn>(query(nvapi_id::kCallStartHook));
    auto callReturn = reinterpret_cast<NvCallReturnHookFn>(query(nvapi_id::kCallReturnHook));
    // The two reports only make sense as a pair.
    const bool bothHooks = callStart != nullptr && callReturn != nullptr;
    callStartHook_.store(bothHooks ? callStart : nullptr);
    callReturnHook_.store(bothHooks ? callReturn : nullptr);
    ClearEntryCache();
    return NVAPI_OK;
}

NvAPI_Status NvApiAccess::LoadAndBindLocked() {
    if (module_.load() != nullptr) return NVAPI_OK;
    void* module = platform_.LoadDriverModule();
    if (module == nullptr) return NVAPI_LIBRARY_NOT_FOUND;
    const NvAPI_Status status = Bind(module);
    if (status != NVAPI_OK) {
        queryInterface_.store(nullptr);
        initialize_.store(nullptr);
        callStartHook_.store(nullptr);
        callReturnHook_.store(nullptr);
        platform_.FreeDriverModule(module);
        return status;
    }
    referenceCount_.store(1);
    module_.store(module);  // published last: lock-free readers see a fully bound module
    return NVAPI_OK;
}

NvAPI_Status NvApiAccess::EnsureLoaded() {
    const NvAPI_Status waited = WaitWhileUnloading();
    if (waited != NVAPI_OK) return waited;
    if (module_.load() != nullptr) return NVAPI_OK;
    // Two first calls on different threads must not both load and initialise the driver.
    std::lock_guard<std::mutex> guard(lock_);
    return LoadAndBindLocked();
}

template <typename Fn, typename... Args>
NvAPI_Status NvApiAccess::Forward(CacheSlot slot, NvU32 id, Args... args) {
    inUse_.fetch_add(1);
    const NvAPI_Status loaded = EnsureLoaded();
    if (loaded != NVAPI_OK) {
        inUse_.fetch_sub(1);
        return loaded;
    }
    void* entry = entryCache_[slot].load();
    if (entry == nullptr) {
        entry = Resolve(id);
        if (entry == nullptr) {
            inUse_.fetch_sub(1);
            return NVAPI_NO_IMPLEMENTATION;
        }
        entryCache_[slot].store(entry);
    }
    NvU32 context[2] = {0, 0};
    if (const NvCallStartHookFn callStart = callStartHook_.load()) callStart(id, context);
    const NvAPI_Status status = reinterpret_cast<Fn>(entry)(args...);
    if (const NvCallReturnHookFn callReturn = callReturnHook_.load()) {
        callReturn(id, context[0], context[1], status);
    }
    inUse_.fetch_sub(1);
    return status;
}

NvAPI_Status NvApiAccess::Initialize() {
    std::lock_guard<std::mutex> guard(lock_);
    inUse_.fetch_add(1);
    const int noted = referenceCount_.load();
    NvAPI_Status status = WaitWhileUnloading();
    if (status == NVAPI_OK) status = LoadAndBindLocked();
    if (status == NVAPI_OK) referenceCount_.store(noted + 1);
    inUse_.fetch_sub(1);
    return status;
}

NvAPI_Status NvApiAccess::Unload() {
    std::lock_guard<std::mutex> guard(lock_);
    unloading_.store(true);
    const NvAPI_Status result = UnloadLocked();
    unloading_.store(false);
    return result;
}

NvAPI_Status NvApiAccess::UnloadLocked() {
    if (module_.load() == nullptr || queryInterface_.load() == nullptr) {
        return NVAPI_API_NOT_INITIALIZED;
    }
    auto unloadWithArgument =
        reinterpret_cast<NvUnloadWithArgumentFn>(Resolve(nvapi_id::kUnloadWithArgument));
    auto unload = unloadWithArgument != nullptr
                      ? nullptr
                      : reinterpret_cast<NvUnloadFn>(Resolve(nvapi_id::kUnload));
    if (unloadWithArgument == nullptr && unload == nullptr) return NVAPI_NO_IMPLEMENTATION;

    const int remaining = referenceCount_.fetch_sub(1) - 1;
    if (remaining > 0) return NVAPI_OK;
    if (inUse_.fetch_add(0) != 0) {
        referenceCount_.store(remaining + 1);
        return NVAPI_API_IN_USE;
    }
    const NvAPI_Status status = unloadWithArgument != nullptr ? unloadWithArgument(0) : unload();
    if (status != NVAPI_OK) {
        referenceCount_.store(remaining + 1);
        return NVAPI_ERROR;
    }
    queryInterface_.store(nullptr);
    initialize_.store(nullptr);
    callStartHook_.store(nullptr);
    callReturnHook_.store(nullptr);
    platform_.FreeDriverModule(module_.load());
    ClearEntryCache();
    referenceCount_.store(0);
    module_.store(nullptr);
    return NVAPI_OK;
}

NvAPI_Status NvApiAccess::EnumPhysicalGPUs(NvPhysicalGpuHandle* handles, NvU32* count) {
    return Forward<NvEnumPhysicalGPUsFn>(kEnumPhysical, nvapi_id::kEnumPhysicalGPUs, handles,
                                         count);
}

NvAPI_Status NvApiAccess::EnumTCCPhysicalGPUs(NvPhysicalGpuHandle* handles, NvU32* count) {
    return Forward<NvEnumPhysicalGPUsFn>(kEnumTcc, nvapi_id::kEnumTCCPhysicalGPUs, handles, count);
}

NvAPI_Status NvApiAccess::GPU_GetFullName(NvPhysicalGpuHandle gpu, char* name) {
    return Forward<NvGpuGetFullNameFn>(kFullName, nvapi_id::kGpuGetFullName, gpu, name);
}

NvAPI_Status NvApiAccess::GPU_GetPCIIdentifiers(NvPhysicalGpuHandle gpu, NvU32* deviceId,
                                                NvU32* subSystemId, NvU32* revisionId,
                                                NvU32* extDeviceId) {
    return Forward<NvGpuGetPCIIdentifiersFn>(kPciIdentifiers, nvapi_id::kGpuGetPCIIdentifiers, gpu,
                                             deviceId, subSystemId, revisionId, extDeviceId);
}

NvAPI_Status NvApiAccess::GPU_GetBusId(NvPhysicalGpuHandle gpu, NvU32* busId) {
    return Forward<NvGpuGetBusIdFn>(kBusId, nvapi_id::kGpuGetBusId, gpu, busId);
}

NvAPI_Status NvApiAccess::GPU_GetThermalSettings(NvPhysicalGpuHandle gpu, NvU32 sensorIndex,
                                                 NV_GPU_THERMAL_SETTINGS* settings) {
    return Forward<NvGpuGetThermalSettingsFn>(kThermalSettings, nvapi_id::kGpuGetThermalSettings,
                                              gpu, sensorIndex, settings);
}

NvAPI_Status NvApiAccess::I2CWriteEx(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info,
                                     NvU32* scratch) {
    return Forward<NvI2CTransferFn>(kI2CWrite, nvapi_id::kI2CWriteEx, gpu, info, scratch);
}

NvAPI_Status NvApiAccess::I2CReadEx(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info, NvU32* scratch) {
    return Forward<NvI2CTransferFn>(kI2CRead, nvapi_id::kI2CReadEx, gpu, info, scratch);
}

}  // namespace nvapi
