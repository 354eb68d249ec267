#include "core/nvapi/loader/secure_module_loader.h"

#include <cwchar>

namespace nvapi {
namespace {

constexpr uint32_t kBuild9200 = 9200;
constexpr uint32_t kBuildOlder = 7600;
// Search-path flags that would widen the search beyond the system directory.
constexpr uint32_t kWideningFlags = kLoadWithAlteredSearchPath | kLoadLibrarySearchDllLoadDir |
                                    kLoadLibrarySearchApplicationDir | kLoadLibrarySearchUserDirs |
                                    kLoadLibrarySearchDefaultDirs;

bool HasDirectoryPart(const wchar_t* name) {
    return std::wcschr(name, L'\\') != nullptr || std::wcschr(name, L'/') != nullptr;
}

// Before build 9200 the system-directory flag may be unknown, so the full path is spelled out.
// Nothing is loaded when that path cannot be built: a bare name would search the program's
// directory, the current directory and PATH.
void* LoadByFullSystemPath(LoaderPlatform& platform, const wchar_t* name, uint32_t flags) {
    const uint32_t directorySize = platform.QuerySystemDirectory(nullptr, 0);
    if (directorySize == 0) {
        platform.SetLastError(kErrorPathNotFound);
        return nullptr;
    }
    const size_t characters = directorySize + std::wcslen(name) + 1;
    auto* path = static_cast<wchar_t*>(platform.AllocateZeroed(characters * sizeof(wchar_t)));
    if (path == nullptr) {
        platform.SetLastError(kErrorNotEnoughMemory);
        return nullptr;
    }
    const uint32_t length = platform.QuerySystemDirectory(path, directorySize);
    if (length == 0 || length >= directorySize) {
        platform.Free(path);
        platform.SetLastError(kErrorPathNotFound);
        return nullptr;
    }
    size_t end = length;
    if (path[end - 1] != L'\\') path[end++] = L'\\';
    std::wcscpy(path + end, name);
    void* module = platform.LoadLibraryWithFlags(path, flags);
    const uint32_t loadError = platform.GetLastError();
    platform.Free(path);
    platform.SetLastError(loadError);
    return module;
}

}  // namespace

void* SecureLoadModule(LoaderPlatform& platform, const wchar_t* name, uint32_t flags) {
    platform.SetLastError(0);
    if (name == nullptr || HasDirectoryPart(name)) {
        platform.SetLastError(kErrorBadArguments);
        return nullptr;
    }
    return LoadFromSystemDirectory(platform, name, flags);
}

void* LoadFromSystemDirectory(LoaderPlatform& platform, const wchar_t* name, uint32_t flags) {
    if (platform.windowsBuildMarker.load() == 0) {
        platform.windowsBuildMarker.store(platform.IsBuild9200OrLater() ? kBuild9200 : kBuildOlder);
    }
    flags &= ~kWideningFlags;
    if (platform.windowsBuildMarker.load() >= kBuild9200) {
        return platform.LoadLibraryWithFlags(name, flags | kLoadLibrarySearchSystem32);
    }
    return LoadByFullSystemPath(platform, name, flags & ~kLoadLibrarySearchSystem32);
}

}  // namespace nvapi
