// Hands the access layer the simulated driver in-process, counting what it is asked to do.
#pragma once

#include <atomic>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/nvapi/driver_module_platform.h"
#include "core/nvapi/nvapi_access.h"
#include "simdriver/sim_driver.h"

class InProcessDriver : public nvapi::DriverModulePlatform {
  public:
    void* LoadDriverModule() override {
        ++loads;
        return moduleMissing ? nullptr : &module_;
    }
    void* FindExport(void* module, const char* name) override {
        const bool query = module == &module_ && std::strcmp(name, "nvapi_QueryInterface") == 0;
        return query && !queryExportMissing ? reinterpret_cast<void*>(&CountingQuery) : nullptr;
    }
    void FreeDriverModule(void* module) override { frees += module == &module_ ? 1 : 0; }
    void Sleep(unsigned milliseconds) override {
        ++sleeps;
        if (onSleep) onSleep(milliseconds);
    }

    // How often an interface has been resolved through the query entry, by any layer.
    static int Queries(NvU32 id) {
        std::lock_guard<std::mutex> guard(queryMutex_);
        return queries_[id];
    }

    bool moduleMissing = false, queryExportMissing = false;
    std::atomic<int> loads{0}, frees{0}, sleeps{0};
    std::function<void(unsigned)> onSleep;

  private:
    static void* CountingQuery(NvU32 id) {
        std::lock_guard<std::mutex> guard(queryMutex_);
        ++queries_[id];
        return simdriver::QueryInterface(id);
    }
    static inline std::mutex queryMutex_;
    static inline std::map<NvU32, int> queries_;
    int module_ = 0;
};

// The access layer over the simulated driver, configured first with `scenario`; taken apart as
// `auto&& [driver, layer] = SimulatedAccess(scenario);`.
struct SimulatedAccess {
    explicit SimulatedAccess(const simdriver::Scenario& scenario) {
        simdriver::Configure(scenario);
    }
    InProcessDriver driver;
    nvapi::NvApiAccess layer{driver};
};

// How many calls of that name (e.g. "NvAPI_Initialize") the driver has served since configured.
inline int DriverCalls(const std::string& name) {
    int count = 0;
    for (const simdriver::CallRecord& call : simdriver::Calls()) count += call.call == name;
    return count;
}

// The bytes of each write the driver served since configured: "a0 fc 01 ...".
inline std::vector<std::string> DriverWrites() {
    std::vector<std::string> writes;
    for (const simdriver::CallRecord& call : simdriver::Calls()) {
        if (call.call != "NvAPI_I2CWriteEx" || call.status != NVAPI_OK) continue;
        std::string hex;
        for (const uint8_t byte : call.data)
            hex += {' ', "0123456789abcdef"[byte >> 4], "0123456789abcdef"[byte & 15]};
        writes.push_back(hex.substr(1));
    }
    return writes;
}

// One forwarded call, when any will do.
inline NvAPI_Status AnyForwardedCall(nvapi::NvApiAccess& layer) {
    NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvU32 count = 0;
    return layer.EnumPhysicalGPUs(handles, &count);
}
