// Loads a module by bare name from the Windows system directory only, never from the program's
// directory, the current directory or PATH: the guard against a planted driver module.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace nvapi {

constexpr uint32_t kLoadWithAlteredSearchPath = 0x8;
constexpr uint32_t kLoadLibrarySearchDllLoadDir = 0x100;
constexpr uint32_t kLoadLibrarySearchApplicationDir = 0x200;
constexpr uint32_t kLoadLibrarySearchUserDirs = 0x400;
constexpr uint32_t kLoadLibrarySearchSystem32 = 0x800;
constexpr uint32_t kLoadLibrarySearchDefaultDirs = 0x1000;

constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorBadArguments = 160;
constexpr uint32_t kErrorPathNotFound = 3;

// The Windows operations the loader needs; Win32 in the program, a recording fake in tests.
class LoaderPlatform {
  public:
    virtual ~LoaderPlatform() = default;
    virtual void SetLastError(uint32_t error) = 0;
    virtual uint32_t GetLastError() = 0;
    // VerSetConditionMask + VerifyVersionInfoW: is this build 9200 or later?
    virtual bool IsBuild9200OrLater() = 0;
    // GetSystemDirectoryW: with a null buffer the size including the terminator, after a fill
    // the length without it; 0 on failure.
    virtual uint32_t QuerySystemDirectory(wchar_t* buffer, uint32_t size) = 0;
    virtual void* LoadLibraryWithFlags(const wchar_t* name, uint32_t flags) = 0;
    // LocalAlloc(LMEM_ZEROINIT) and LocalFree.
    virtual void* AllocateZeroed(size_t bytes) = 0;
    virtual void Free(void* block) = 0;

    // 0 until the first load through this platform decides it; then 9200 (build 9200 or later)
    // or 7600. The system's one platform lives as long as the process, so for the program the
    // marker is process-wide and the version test runs once.
    std::atomic<uint32_t> windowsBuildMarker{0};
};

void* SecureLoadModule(LoaderPlatform& platform, const wchar_t* name, uint32_t flags);
void* LoadFromSystemDirectory(LoaderPlatform& platform, const wchar_t* name, uint32_t flags);

}  // namespace nvapi
