#include "platform/windows/process_nvapi.h"

#include <windows.h>

#include "core/nvapi/loader/secure_module_loader.h"
#include "platform/windows/win32_loader_platform.h"

namespace nvapi {
namespace {

class Win32DriverModule final : public DriverModulePlatform {
  public:
    void* LoadDriverModule() override {
        return SecureLoadModule(Win32LoaderPlatform(), NVAPI_MODULE_NAME,
                                kLoadLibrarySearchSystem32);
    }
    void* FindExport(void* module, const char* name) override {
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
    }
    void FreeDriverModule(void* module) override { FreeLibrary(static_cast<HMODULE>(module)); }
    void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

NvApiAccess& ProcessNvApi() {
    static Win32DriverModule platform;
    static NvApiAccess access(platform);
    return access;
}

}  // namespace nvapi
