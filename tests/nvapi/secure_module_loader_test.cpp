#include "core/nvapi/loader/secure_module_loader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using nvapi::LoaderPlatform;

struct LoadCall {
    std::wstring name;
    uint32_t flags;
};

// Records every Windows operation the loader asks for.
class RecordingLoaderPlatform : public LoaderPlatform {
  public:
    void SetLastError(uint32_t error) override { lastError = error; }
    uint32_t GetLastError() override { return lastError; }
    bool IsBuild9200OrLater() override {
        ++versionTests;
        return build9200OrLater;
    }
    uint32_t QuerySystemDirectory(wchar_t* buffer, uint32_t size) override {
        if (systemDirectoryFails) return 0;
        const auto length = static_cast<uint32_t>(systemDirectory.size());
        if (buffer == nullptr || size <= length) return length + 1;
        systemDirectory.copy(buffer, length);
        buffer[length] = L'\0';
        return length;
    }
    void* LoadLibraryWithFlags(const wchar_t* name, uint32_t flags) override {
        loads.push_back({name, flags});
        if (loadError != 0) {
            lastError = loadError;
            return nullptr;
        }
        return &module;
    }
    void* AllocateZeroed(size_t bytes) override {
        if (allocationFails) return nullptr;
        ++liveBlocks;
        return std::calloc(bytes, 1);
    }
    void Free(void* block) override {
        --liveBlocks;
        std::free(block);
    }

    bool build9200OrLater = true;
    std::wstring systemDirectory = L"C:\\Windows\\system32";
    bool systemDirectoryFails = false;
    bool allocationFails = false;
    uint32_t loadError = 0;
    uint32_t lastError = 12345;
    int versionTests = 0;
    int liveBlocks = 0;
    int module = 0;
    std::vector<LoadCall> loads;
};

class SecureModuleLoaderTest : public ::testing::Test {
  protected:
    RecordingLoaderPlatform platform;
};

TEST_F(SecureModuleLoaderTest, LoadsFromTheSystemDirectoryWithTheExactCall) {
    struct Case {
        const char* what;
        bool build9200;
        std::wstring systemDirectory;
        uint32_t flags;
        std::wstring expectedName;
        uint32_t expectedFlags;
    };
    const Case cases[] = {
        {"new system, system flag", true, L"C:\\Windows\\system32", 0x800, L"nvapi.dll", 0x800},
        {"new system, no flag given", true, L"C:\\Windows\\system32", 0, L"nvapi.dll", 0x800},
        {"new system, widening bits cleared", true, L"C:\\W", 0x1708, L"nvapi.dll", 0x800},
        {"new system, other bits pass", true, L"C:\\W", 0x2 | 0x10, L"nvapi.dll", 0x812},
        {"new system, every bit", true, L"C:\\W", 0xFFFFFFFFu, L"nvapi.dll", 0xFFFFE8F7u},
        {"old system", false, L"C:\\Windows\\system32", 0x800, L"C:\\Windows\\system32\\nvapi.dll",
         0},
        {"old system, directory ends with separator", false, L"C:\\", 0x800, L"C:\\nvapi.dll", 0},
        {"old system, widening bits cleared", false, L"C:\\S", 0x1F0A, L"C:\\S\\nvapi.dll", 0x2},
        {"old system, every bit but the system flag", false, L"C:\\S", 0xFFFFFFFFu,
         L"C:\\S\\nvapi.dll", 0xFFFFE0F7u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingLoaderPlatform fake;
        fake.build9200OrLater = c.build9200;
        fake.systemDirectory = c.systemDirectory;
        void* module = nvapi::SecureLoadModule(fake, L"nvapi.dll", c.flags);
        EXPECT_EQ(module, &fake.module);
        ASSERT_EQ(fake.loads.size(), 1u);
        EXPECT_EQ(fake.loads[0].name, c.expectedName);
        EXPECT_EQ(fake.loads[0].flags, c.expectedFlags);
        EXPECT_EQ(fake.lastError, 0u);
        EXPECT_EQ(fake.liveBlocks, 0) << "the built path is freed";
        EXPECT_EQ(fake.windowsBuildMarker.load(), c.build9200 ? 9200u : 7600u);
    }
}

TEST_F(SecureModuleLoaderTest, RefusesWithoutLoadingAnything) {
    struct Case {
        const char* what;
        const wchar_t* name;
        bool build9200;
        bool systemDirectoryFails;
        bool allocationFails;
        uint32_t expectedError;
    };
    const Case cases[] = {
        {"backslash in the name", L"dir\\nvapi.dll", true, false, false, 160},
        {"slash in the name", L"dir/nvapi.dll", true, false, false, 160},
        {"absolute path", L"C:\\evil\\nvapi.dll", false, false, false, 160},
        {"trailing slash", L"nvapi.dll/", true, false, false, 160},
        // A bare name would search the program's directory, the current directory and PATH.
        {"path cannot be allocated", L"nvapi.dll", false, false, true, 8},
        {"system directory unknown", L"nvapi.dll", false, true, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingLoaderPlatform fake;
        fake.build9200OrLater = c.build9200;
        fake.systemDirectoryFails = c.systemDirectoryFails;
        fake.allocationFails = c.allocationFails;
        EXPECT_EQ(nvapi::SecureLoadModule(fake, c.name, 0x800), nullptr);
        EXPECT_TRUE(fake.loads.empty());
        EXPECT_EQ(fake.lastError, c.expectedError);
        EXPECT_EQ(fake.liveBlocks, 0);
    }
}

TEST_F(SecureModuleLoaderTest, NameWithSeparatorIsRefusedBeforeTheVersionTest) {
    EXPECT_EQ(nvapi::SecureLoadModule(platform, L"a/b.dll", 0x800), nullptr);
    EXPECT_EQ(platform.versionTests, 0);
    EXPECT_EQ(platform.windowsBuildMarker.load(), 0u);
}

TEST_F(SecureModuleLoaderTest, VersionTestRunsOncePerProcess) {
    platform.build9200OrLater = false;
    nvapi::SecureLoadModule(platform, L"nvapi.dll", 0x800);
    platform.build9200OrLater = true;  // a second answer would be ignored
    nvapi::SecureLoadModule(platform, L"nvapi.dll", 0x800);
    EXPECT_EQ(platform.versionTests, 1);
    ASSERT_EQ(platform.loads.size(), 2u);
    EXPECT_EQ(platform.loads[1].name, L"C:\\Windows\\system32\\nvapi.dll");
}

TEST_F(SecureModuleLoaderTest, LoadFailureKeepsTheLoadersLastError) {
    for (bool build9200 : {true, false}) {
        RecordingLoaderPlatform fake;
        fake.build9200OrLater = build9200;
        fake.loadError = 126;  // module not found
        EXPECT_EQ(nvapi::SecureLoadModule(fake, L"nvapi.dll", 0x800), nullptr);
        EXPECT_EQ(fake.lastError, 126u);
        EXPECT_EQ(fake.liveBlocks, 0);
    }
}

}  // namespace
