// What the access layer needs from the operating system, so that it builds and runs away from
// Windows: the real implementation loads the driver through the trusted loader, native tests
// hand it the simulated driver in-process.
#pragma once

namespace nvapi {

class DriverModulePlatform {
  public:
    virtual ~DriverModulePlatform() = default;
    // The driver's API module from the system directory only; null when it cannot be loaded.
    virtual void* LoadDriverModule() = 0;
    virtual void* FindExport(void* module, const char* name) = 0;
    virtual void FreeDriverModule(void* module) = 0;
    virtual void Sleep(unsigned milliseconds) = 0;
};

}  // namespace nvapi
