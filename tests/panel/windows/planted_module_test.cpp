// The guard against a planted driver module, for real: decoys of the driver's name lie beside
// the program, in the current directory and in a directory on PATH; only the one in the system
// directory may be loaded, by the loader on each of its paths and by the access layer.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/nvapi/loader/secure_module_loader.h"
#include "platform/windows/process_nvapi.h"
#include "platform/windows/win32_loader_platform.h"
#include "platform/windows/utf8_text.h"
#include "tests/support/wine/wine_paths.h"

namespace {

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return CharLowerW(path);
}

TEST(PlantedModule, OnlyTheSystemDriverIsLoaded) {
    const std::wstring self = ModulePath(nullptr).substr(0, ModulePath(nullptr).rfind(L'\\'));
    wchar_t temp[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring current = temp + std::wstring(L"lumivar-planted-current");
    const std::wstring onPath = temp + std::wstring(L"lumivar-planted-path");
    for (const std::wstring& directory : {self, current, onPath}) {
        CreateDirectoryW(directory.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(WindowsPathFromArgument(WideFromUtf8(LUMIVAR_DECOY_MODULE)).c_str(),
                              (directory + L"\\" NVAPI_MODULE_NAME).c_str(), FALSE));
    }
    SetCurrentDirectoryW(current.c_str());
    wchar_t path[32768] = {};
    GetEnvironmentVariableW(L"PATH", path, 32768);
    SetEnvironmentVariableW(L"PATH", (onPath + L";" + path).c_str());
    const std::wstring systemModule = CharLowerW(system) + std::wstring(L"\\" NVAPI_MODULE_NAME);

    // The decoys are what an ordinary search finds.
    const HMODULE ordinary = LoadLibraryW(NVAPI_MODULE_NAME);
    EXPECT_NE(GetProcAddress(ordinary, "LumivarDecoyModule"), nullptr);
    FreeLibrary(ordinary);

    nvapi::LoaderPlatform& platform = nvapi::Win32LoaderPlatform();
    const struct {
        uint32_t marker;  // the build the loader takes the system for; 0: as it finds it
        uint32_t flags;
    } cases[] = {{0, nvapi::kLoadLibrarySearchSystem32},
                 {0, 0x1708},                                 // every widening flag asked for
                 {7600, nvapi::kLoadLibrarySearchSystem32}};  // an older system: the full path
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.marker << " " << c.flags);
        const uint32_t marker = platform.windowsBuildMarker;
        if (c.marker != 0) platform.windowsBuildMarker = c.marker;
        const auto module =
            static_cast<HMODULE>(nvapi::SecureLoadModule(platform, NVAPI_MODULE_NAME, c.flags));
        platform.windowsBuildMarker = marker;
        EXPECT_EQ(ModulePath(module), systemModule);
        FreeLibrary(module);
    }

    nvapi::NvApiAccess& access = nvapi::ProcessNvApi();
    ASSERT_EQ(access.Initialize(), NVAPI_OK);
    EXPECT_EQ(ModulePath(GetModuleHandleW(NVAPI_MODULE_NAME)), systemModule);
    NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvU32 count = 0;
    EXPECT_EQ(access.EnumPhysicalGPUs(handles, &count), NVAPI_OK);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(access.Unload(), NVAPI_OK);
    EXPECT_EQ(GetModuleHandleW(NVAPI_MODULE_NAME), nullptr) << "the driver is unloaded";
    DeleteFileW((self + L"\\" NVAPI_MODULE_NAME).c_str());
}

}  // namespace
