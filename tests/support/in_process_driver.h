// Hands the access layer the simulated driver in-process, counting what it is asked to do.
#pragma once

#include <atomic>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>

#include "core/nvapi/driver_module_platform.h"
#include "simdriver/sim_driver.h"

// Counts how often each interface identifier is resolved through the query entry.
class QueryCounter {
  public:
    static void* Query(NvU32 id) {
        {
            std::lock_guard<std::mutex> guard(Mutex());
            ++Counts()[id];
        }
        return simdriver::QueryInterface(id);
    }
    static int Count(NvU32 id) {
        std::lock_guard<std::mutex> guard(Mutex());
        return Counts()[id];
    }
    static void Reset() {
        std::lock_guard<std::mutex> guard(Mutex());
        Counts().clear();
    }

  private:
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static std::map<NvU32, int>& Counts() {
        static std::map<NvU32, int> counts;
        return counts;
    }
};

class InProcessDriver : public nvapi::DriverModulePlatform {
  public:
    void* LoadDriverModule() override {
        ++loads;
        if (moduleMissing) return nullptr;
        ++loaded;
        return &moduleToken_;
    }
    void* FindExport(void* module, const char* name) override {
        if (module != &moduleToken_ || queryExportMissing) return nullptr;
        if (std::strcmp(name, "nvapi_QueryInterface") != 0) return nullptr;
        return reinterpret_cast<void*>(&QueryCounter::Query);
    }
    void FreeDriverModule(void* module) override {
        if (module == &moduleToken_) ++frees, --loaded;
    }
    void Sleep(unsigned milliseconds) override {
        ++sleeps;
        if (onSleep) onSleep(milliseconds);
    }

    bool moduleMissing = false;
    bool queryExportMissing = false;
    std::atomic<int> loads{0};
    std::atomic<int> frees{0};
    std::atomic<int> loaded{0};  // module references held
    std::atomic<int> sleeps{0};
    std::function<void(unsigned)> onSleep;

  private:
    int moduleToken_ = 0;
};
