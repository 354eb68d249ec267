// The Windows modules as a program meets them: loaded by full path, the driver serves the default
// boards or the scenario named by LUMIVAR_SIM_SCENARIO, and each module exports only its names.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "core/nvapi/nvapi_types.h"
#include "tests/support/wine_paths.h"

namespace {

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           &wide[0], static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(length));
    return wide;
}

std::wstring g_driverPath;
std::string g_driverUnixDirectory;  // where ctest put the module, as a Unix path
std::wstring g_decoyPath;

class LoadedModule {
  public:
    explicit LoadedModule(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {}
    ~LoadedModule() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    HMODULE get() const { return module_; }
    template <typename Fn>
    Fn Query(NvU32 id) const {
        auto query = reinterpret_cast<NvQueryInterfaceFn>(
            reinterpret_cast<void*>(GetProcAddress(module_, "nvapi_QueryInterface")));
        return query == nullptr ? nullptr : reinterpret_cast<Fn>(query(id));
    }

  private:
    HMODULE module_;
};

std::set<std::string> ExportedNames(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::set<std::string> names;
    if (directory.VirtualAddress == 0) return names;
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        names.insert(reinterpret_cast<const char*>(base + nameOffsets[i]));
    }
    EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames);
    return names;
}

std::string WindowsLogPath(const std::string& unixPath) {
    const std::wstring wide = WindowsPathFromArgument(Wide(unixPath));
    return std::string(wide.begin(), wide.end());  // the build's paths are ASCII
}

std::string TempPath(const char* name) {
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    char bytes[MAX_PATH * 3];
    WideCharToMultiByte(CP_UTF8, 0, directory, -1, bytes, sizeof bytes, nullptr, nullptr);
    return std::string(bytes) + name + std::to_string(GetCurrentProcessId());
}

void WriteTextFile(const std::string& path, const std::string& text) {
    FILE* file = _wfopen(Wide(path).c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    FILE* file = _wfopen(Wide(path).c_str(), L"rb");
    if (file == nullptr) return lines;
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

void SetScenarioVariable(const std::string* path) {
    SetEnvironmentVariableW(L"LUMIVAR_SIM_SCENARIO", path ? Wide(*path).c_str() : nullptr);
}

TEST(DriverModule, ExportsOnlyTheQueryEntry) {
    LoadedModule driver(g_driverPath);
    ASSERT_NE(driver.get(), nullptr) << g_driverPath << " error " << GetLastError();
    EXPECT_EQ(ExportedNames(driver.get()), std::set<std::string>{"nvapi_QueryInterface"});
    LoadedModule decoy(g_decoyPath);
    ASSERT_NE(decoy.get(), nullptr) << g_decoyPath << " error " << GetLastError();
    EXPECT_EQ(ExportedNames(decoy.get()),
              (std::set<std::string>{"LumivarDecoyModule", "nvapi_QueryInterface"}));
    EXPECT_EQ(decoy.Query<NvInitializeFn>(nvapi_id::kInitialize), nullptr);
}

TEST(DriverModule, ServesTheDefaultBoardsWithoutAScenario) {
    SetScenarioVariable(nullptr);
    LoadedModule driver(g_driverPath);
    ASSERT_NE(driver.get(), nullptr);
    ASSERT_EQ(driver.Query<NvInitializeFn>(nvapi_id::kInitialize)(), NVAPI_OK);
    NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvU32 count = 0;
    ASSERT_EQ(driver.Query<NvEnumPhysicalGPUsFn>(nvapi_id::kEnumPhysicalGPUs)(handles, &count),
              NVAPI_OK);
    ASSERT_EQ(count, 2u);
    const struct {
        NvU32 bus;
        const char* name;
        NvU32 pciId;
    } expected[] = {{1, "NVIDIA GeForce RTX 3080", 0x220610DE},
                    {2, "NVIDIA GeForce RTX 2080 SUPER", 0x1E8110DE}};
    for (NvU32 i = 0; i < count; ++i) {
        NvU32 bus = 0, device = 0, sub = 0, revision = 0, ext = 0;
        char name[NVAPI_SHORT_STRING_MAX] = {};
        EXPECT_EQ(driver.Query<NvGpuGetBusIdFn>(nvapi_id::kGpuGetBusId)(handles[i], &bus),
                  NVAPI_OK);
        EXPECT_EQ(driver.Query<NvGpuGetFullNameFn>(nvapi_id::kGpuGetFullName)(handles[i], name),
                  NVAPI_OK);
        EXPECT_EQ(driver.Query<NvGpuGetPCIIdentifiersFn>(nvapi_id::kGpuGetPCIIdentifiers)(
                      handles[i], &device, &sub, &revision, &ext),
                  NVAPI_OK);
        EXPECT_EQ(bus, expected[i].bus);
        EXPECT_STREQ(name, expected[i].name);
        EXPECT_EQ(device, expected[i].pciId);
    }
    EXPECT_EQ(driver.Query<NvUnloadWithArgumentFn>(nvapi_id::kUnloadWithArgument)(0), NVAPI_OK);
}

// The scenario variable and the log path each given once as a Windows and once as a Unix path.
TEST(DriverModule, FollowsTheScenarioFileWhateverFormItsPathsTake) {
    const std::string windowsScenario = TempPath("simdriver_scenario_");
    const std::string unixScenario = g_driverUnixDirectory + "/module_test_scenario.txt";
    const std::string unixLog = g_driverUnixDirectory + "/module_test_log.jsonl";
    const std::string log = WindowsLogPath(unixLog);
    DeleteFileW(Wide(log).c_str());
    WriteTextFile(windowsScenario,
                  "# one 3000 board in TCC mode\nlog " + unixLog +
                      "\ngpu bus=4 pci=0x248410DE name=\"B \\xe3\\x81\\x82\" tcc\n");
    SetScenarioVariable(&windowsScenario);
    {
        LoadedModule driver(g_driverPath);
        ASSERT_NE(driver.get(), nullptr);
        ASSERT_EQ(driver.Query<NvInitializeFn>(nvapi_id::kInitialize)(), NVAPI_OK);
        NvPhysicalGpuHandle handles[NVAPI_MAX_PHYSICAL_GPUS] = {};
        NvU32 count = 9;
        ASSERT_EQ(
            driver.Query<NvEnumPhysicalGPUsFn>(nvapi_id::kEnumTCCPhysicalGPUs)(handles, &count),
            NVAPI_OK);
        ASSERT_EQ(count, 1u);
        std::vector<NvU8> block = {0xA2, 0x01, 0x01, 0x04, 1, 2, 3, 0x00, 0x03, 0x00};
        for (int group = 0; group < 8; ++group) block.insert(block.end(), {1, 2, 3, 0x03});
        NV_I2C_INFO_V3 info{};
        info.version = NV_I2C_INFO_VER3;
        info.i2cDevAddress = 0x92;
        info.pbData = block.data();
        info.cbSize = static_cast<NvU32>(block.size());
        NvU32 scratch[2] = {};
        EXPECT_EQ(driver.Query<NvI2CTransferFn>(nvapi_id::kI2CWriteEx)(handles[0], &info, scratch),
                  NVAPI_OK);
    }
    const std::vector<std::string> lines = ReadLines(log);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[0].find("\"event\":\"configured\",\"gpus\":1"), std::string::npos);
    EXPECT_NE(lines[3].find("\"call\":\"NvAPI_I2CWriteEx\",\"bus\":4,\"status\":0"),
              std::string::npos);
    EXPECT_NE(lines[4].find("\"board\":4,\"family\":3000,\"on\":true,\"mode\":\"WAVE\""),
              std::string::npos);

    // A scenario that cannot be read leaves a driver whose initialise fails, and says why.
    WriteTextFile(WindowsLogPath(unixScenario), "log " + log + "\ngpu bus=1\n");
    SetScenarioVariable(&unixScenario);
    {
        LoadedModule driver(g_driverPath);
        ASSERT_NE(driver.get(), nullptr);
        EXPECT_EQ(driver.Query<NvInitializeFn>(nvapi_id::kInitialize)(), NVAPI_ERROR);
    }
    SetScenarioVariable(nullptr);
    const std::vector<std::string> after = ReadLines(log);
    ASSERT_EQ(after.size(), 7u);
    EXPECT_NE(after[5].find("\"event\":\"scenario error\""), std::string::npos);
    EXPECT_NE(after[5].find("line 2: gpu needs pci="), std::string::npos);
    for (const std::string& path : {windowsScenario, WindowsLogPath(unixScenario), log}) {
        DeleteFileW(Wide(path).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DRIVER_DLL DECOY_DLL\n", argv[0]);
        return 2;
    }
    g_driverPath = WindowsPathFromArgument(Wide(argv[1]));
    g_decoyPath = WindowsPathFromArgument(Wide(argv[2]));
    g_driverUnixDirectory = argv[1];
    g_driverUnixDirectory.erase(g_driverUnixDirectory.find_last_of('/'));
    return RUN_ALL_TESTS();
}
