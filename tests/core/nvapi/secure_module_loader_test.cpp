#include "core/nvapi/loader/secure_module_loader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Records every Windows operation the loader asks for. The allocated block is followed by a
// guard that must come back intact: the built path may not run past its block.
class RecordingLoaderPlatform : public nvapi::LoaderPlatform {
  public:
    void SetLastError(uint32_t error) override { lastError = error; }
    uint32_t GetLastError() override { return lastError; }
    bool IsBuild9200OrLater() override { return ++versionTests, build9200OrLater; }
    uint32_t QuerySystemDirectory(wchar_t* buffer, uint32_t size) override {
        const auto length = static_cast<uint32_t>(directory.size());
        if (buffer != nullptr && fillFails) return 0;
        if (length == 0 || buffer == nullptr || size <= length) return length ? length + 1 : 0;
        directory.copy(buffer, length);
        buffer[length] = L'\0';
        return length;
    }
    void* LoadLibraryWithFlags(const wchar_t* name, uint32_t flags) override {
        loads.push_back({name, flags});
        if (loadError == 0) return &module;  // success leaves the last error alone
        lastError = loadError;
        return nullptr;
    }
    void* AllocateZeroed(size_t bytes) override {
        if (allocationFails) return nullptr;
        block.assign(bytes, 0);
        block.resize(bytes + 16, 0xA5);
        return block.data();
    }
    void Free(void* freed) override {
        guardIntact =
            freed == block.data() && std::count(block.end() - 16, block.end(), 0xA5) == 16;
        block.clear();
    }

    bool build9200OrLater = true, allocationFails = false, fillFails = false, guardIntact = true;
    std::wstring directory = L"C:\\Windows\\system32";  // empty: the query fails
    uint32_t loadError = 0, lastError = 12345;
    int versionTests = 0, module = 0;
    std::vector<uint8_t> block;  // the one block allocated, with its guard; empty once freed
    std::vector<std::pair<std::wstring, uint32_t>> loads;  // name and flags of each call
};

TEST(SecureModuleLoader, LoadsFromTheSystemDirectoryWithTheExactCall) {
    // Build 9200 or later, system directory, flags given; name and flags loaded; load error.
    // clang-format off
    const std::tuple<bool, std::wstring, uint32_t, std::wstring, uint32_t, uint32_t> cases[] = {
        {true, L"C:\\S", 0x800, L"nvapi.dll", 0x800, 0}, {true, L"C:\\S", 0, L"nvapi.dll", 0x800, 0},
        {true, L"C:\\S", 0x1708, L"nvapi.dll", 0x800, 0}, {true, L"C:\\S", 0x2 | 0x10, L"nvapi.dll", 0x812, 0},
        {true, L"C:\\S", 0xFFFFFFFFu, L"nvapi.dll", 0xFFFFE8F7u, 0}, {true, L"C:\\S", 0x800, L"nvapi.dll", 0x800, 126},
        {false, L"C:\\Windows\\system32", 0x800, L"C:\\Windows\\system32\\nvapi.dll", 0, 0},
        {false, L"C:\\", 0x800, L"C:\\nvapi.dll", 0, 0},  // one separator only
        {false, L"C:\\S", 0x1F0A, L"C:\\S\\nvapi.dll", 0x2, 0},
        {false, L"C:\\S", 0xFFFFFFFFu, L"C:\\S\\nvapi.dll", 0xFFFFE0F7u, 0},
        {false, L"C:\\S", 0x800, L"C:\\S\\nvapi.dll", 0, 126},
    };
    // clang-format on
    for (const auto& [build9200, directory, flags, loadedName, loadedFlags, loadError] : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << flags << (build9200 ? " new" : " old"));
        RecordingLoaderPlatform fake;
        std::tie(fake.build9200OrLater, fake.directory, fake.loadError) =
            std::tie(build9200, directory, loadError);
        void* module = nvapi::SecureLoadModule(fake, L"nvapi.dll", flags);
        EXPECT_EQ(module, loadError != 0 ? nullptr : &fake.module);
        ASSERT_EQ(fake.loads.size(), 1u);
        EXPECT_EQ(fake.loads[0], std::make_pair(loadedName, loadedFlags));
        EXPECT_EQ(fake.lastError, loadError) << "the load's own last error";
        EXPECT_TRUE(fake.block.empty()) << "the built path is freed";
        EXPECT_TRUE(fake.guardIntact);
        // The version test runs once per platform: a second answer would be ignored.
        fake.build9200OrLater = !build9200;
        nvapi::SecureLoadModule(fake, L"nvapi.dll", flags);
        EXPECT_EQ(std::make_tuple(fake.windowsBuildMarker.load(), fake.versionTests, fake.loads[1]),
                  std::make_tuple(build9200 ? 9200u : 7600u, 1, fake.loads[0]));
    }
}

TEST(SecureModuleLoader, RefusesWithoutLoadingAnything) {
    // Name, build 9200 or later, system directory, allocation fails, filling the directory in
    // fails; the last error.
    // clang-format off
    const std::tuple<const wchar_t*, bool, std::wstring, bool, bool, uint32_t> cases[] = {
        {L"dir\\nvapi.dll", true, L"C:\\S", false, false, 160}, {L"dir/nvapi.dll", true, L"C:\\S", false, false, 160},
        {L"C:\\evil\\nvapi.dll", false, L"C:\\S", false, false, 160}, {L"nvapi.dll/", true, L"C:\\S", false, false, 160},
        // A bare name would search the program's directory, the current directory and PATH.
        {L"nvapi.dll", false, L"C:\\S", true, false, 8},  // the path cannot be allocated
        {L"nvapi.dll", false, L"", false, false, 3},      // the system directory is unknown
        {L"nvapi.dll", false, L"C:\\S", false, true, 3},  // its size is known, filling it in fails
    };
    // clang-format on
    for (const auto& [name, build9200, directory, allocationFails, fillFails, error] : cases) {
        SCOPED_TRACE(error);
        RecordingLoaderPlatform fake;
        std::tie(fake.build9200OrLater, fake.directory, fake.allocationFails, fake.fillFails) =
            std::tie(build9200, directory, allocationFails, fillFails);
        EXPECT_EQ(nvapi::SecureLoadModule(fake, name, 0x800), nullptr);
        EXPECT_TRUE(fake.loads.empty());
        EXPECT_EQ(fake.lastError, error);
        EXPECT_TRUE(fake.block.empty());
        // A directory part is refused before anything else, the version test included.
        EXPECT_EQ(fake.versionTests, error == 160 ? 0 : 1);
    }
}

}  // namespace
