// The guard against a planted driver module, for real under Wine: decoys of the driver's name
// lie in the program's directory, the current directory and a directory on PATH; only the one in
// the system directory may be loaded.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/nvapi/loader/secure_module_loader.h"
#include "platform/process_nvapi.h"
#include "platform/win32_loader_platform.h"
#include "tests/support/wine_paths.h"

namespace {

std::wstring decoyPath;  // from the command line

std::wstring Directory(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return path;
}

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = towlower(c);
    return text;
}

bool IsDecoy(HMODULE module) {
    return GetProcAddress(module, "LumivarDecoyModule") != nullptr;
}

// Answers "older than build 9200" so the full-path branch runs against the real system.
class OlderSystemLoader final : public nvapi::LoaderPlatform {
  public:
    explicit OlderSystemLoader(nvapi::LoaderPlatform& real) : real_(real) {}
    void SetLastError(uint32_t error) override { real_.SetLastError(error); }
    uint32_t GetLastError() override { return real_.GetLastError(); }
    bool IsBuild9200OrLater() override { return false; }
    uint32_t QuerySystemDirectory(wchar_t* buffer, uint32_t size) override {
        return real_.QuerySystemDirectory(buffer, size);
    }
    void* LoadLibraryWithFlags(const wchar_t* name, uint32_t flags) override {
        return real_.LoadLibraryWithFlags(name, flags);
    }
    void* AllocateZeroed(size_t bytes) override { return real_.AllocateZeroed(bytes); }
    void Free(void* block) override { real_.Free(block); }

  private:
    nvapi::LoaderPlatform& real_;
};

class PlantedModuleTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        const std::wstring base = std::wstring(temp) + L"lumivar-planted";
        currentDirectory = base + L"\\current";
        pathDirectory = base + L"\\onpath";
        CreateDirectoryW(base.c_str(), nullptr);
        CreateDirectoryW(currentDirectory.c_str(), nullptr);
        CreateDirectoryW(pathDirectory.c_str(), nullptr);
        programCopy = Directory(self) + L"\\" NVAPI_MODULE_NAME;
        for (const std::wstring& directory : {Directory(self), currentDirectory, pathDirectory}) {
            const std::wstring target = directory + L"\\" NVAPI_MODULE_NAME;
            ASSERT_TRUE(CopyFileW(decoyPath.c_str(), target.c_str(), FALSE)) << GetLastError();
        }
        SetCurrentDirectoryW(currentDirectory.c_str());
        wchar_t path[32768] = {};
        GetEnvironmentVariableW(L"PATH", path, 32768);
        SetEnvironmentVariableW(L"PATH", (pathDirectory + L";" + path).c_str());
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        systemModule = Lower(std::wstring(system) + L"\\" NVAPI_MODULE_NAME);
    }
    static void TearDownTestSuite() { DeleteFileW(programCopy.c_str()); }

    static std::wstring currentDirectory, pathDirectory, programCopy, systemModule;
};
std::wstring PlantedModuleTest::currentDirectory, PlantedModuleTest::pathDirectory,
    PlantedModuleTest::programCopy, PlantedModuleTest::systemModule;

TEST_F(PlantedModuleTest, TheDecoysWouldBeFoundByAnOrdinarySearch) {
    HMODULE ordinary = LoadLibraryW(NVAPI_MODULE_NAME);
    ASSERT_NE(ordinary, nullptr);
    EXPECT_TRUE(IsDecoy(ordinary)) << "the planted module is what an ordinary load finds";
    FreeLibrary(ordinary);
}

TEST_F(PlantedModuleTest, LoaderTakesTheSystemModuleOnEveryPath) {
    nvapi::LoaderPlatform& real = nvapi::Win32LoaderPlatform();
    OlderSystemLoader older(real);
    struct Case {
        const char* what;
        nvapi::LoaderPlatform* platform;
        uint32_t flags;
    };
    const Case cases[] = {
        {"build 9200 or later", &real, nvapi::kLoadLibrarySearchSystem32},
        {"widening flags asked for", &real, 0x1708},
        {"older system, full path", &older, nvapi::kLoadLibrarySearchSystem32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto module =
            static_cast<HMODULE>(nvapi::SecureLoadModule(*c.platform, NVAPI_MODULE_NAME, c.flags));
        ASSERT_NE(module, nullptr) << GetLastError();
        EXPECT_FALSE(IsDecoy(module));
        EXPECT_EQ(Lower(ModulePath(module)), systemModule);
        FreeLibrary(module);
    }
}

TEST_F(PlantedModuleTest, AccessLayerBindsTheSystemDriver) {
    nvapi::NvApiAccess& access = nvapi::ProcessNvApi();
    ASSERT_EQ(access.Initialize(), NVAPI_OK);
    HMODULE loaded = GetModuleHandleW(NVAPI_MODULE_NAME);
    ASSERT_NE(loaded, nullptr);
    EXPECT_FALSE(IsDecoy(loaded));
    EXPECT_EQ(Lower(ModulePath(loaded)), systemModule);
    NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvU32 count = 0;
    EXPECT_EQ(access.EnumPhysicalGPUs(handles, &count), NVAPI_OK);
    EXPECT_GE(count, 1u);
    EXPECT_EQ(access.Unload(), NVAPI_OK);
    EXPECT_EQ(GetModuleHandleW(NVAPI_MODULE_NAME), nullptr) << "the driver is unloaded";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int gtestArgc = 1;
    char program[] = "planted_module_test";
    char* gtestArgv[] = {program, nullptr};
    ::testing::InitGoogleTest(&gtestArgc, gtestArgv);
    if (argc < 2) {
        fprintf(stderr, "usage: planted_module_test DECOY_DLL\n");
        return 2;
    }
    decoyPath = WindowsPathFromArgument(argv[1]);
    return RUN_ALL_TESTS();
}
