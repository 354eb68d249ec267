#include "platform/windows/win32_loader_platform.h"

#include <windows.h>

namespace nvapi {
namespace {

class Win32Loader final : public LoaderPlatform {
  public:
    void SetLastError(uint32_t error) override { ::SetLastError(error); }
    uint32_t GetLastError() override { return ::GetLastError(); }

    bool IsBuild9200OrLater() override {
        OSVERSIONINFOEXW version = {};
        version.dwOSVersionInfoSize = sizeof(version);
        version.dwBuildNumber = 9200;
        const ULONGLONG condition = VerSetConditionMask(0, VER_BUILDNUMBER, VER_GREATER_EQUAL);
        return VerifyVersionInfoW(&version, VER_BUILDNUMBER, condition) != FALSE;
    }

    uint32_t QuerySystemDirectory(wchar_t* buffer, uint32_t size) override {
        return ::GetSystemDirectoryW(buffer, size);
    }

    void* LoadLibraryWithFlags(const wchar_t* name, uint32_t flags) override {
        return ::LoadLibraryExW(name, nullptr, flags);
    }

    void* AllocateZeroed(size_t bytes) override { return ::LocalAlloc(LMEM_ZEROINIT, bytes); }
    void Free(void* block) override { ::LocalFree(block); }
};

}  // namespace

LoaderPlatform& Win32LoaderPlatform() {
    static Win32Loader platform;
    return platform;
}

}  // namespace nvapi
