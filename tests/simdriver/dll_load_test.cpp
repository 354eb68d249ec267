// The Windows modules as a program meets them: the driver exports only its query entry, and the
// decoy adds the name that gives it away. Arguments: the driver's path, then the decoy's.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/windows/utf8_text.h"
#include "tests/support/wine/wine_paths.h"

static char** g_modulePaths;

TEST(DriverModules, ExportOnlyTheirOwnNames) {
    for (DWORD i = 0; i < 2; ++i) {
        HMODULE module =
            LoadLibraryW(WindowsPathFromArgument(WideFromUtf8(g_modulePaths[i])).c_str());
        ASSERT_NE(module, nullptr) << g_modulePaths[i] << " error " << GetLastError();
        const auto* base = reinterpret_cast<const BYTE*>(module);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const auto& table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        const auto* exports =
            reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + table.VirtualAddress);
        EXPECT_EQ(exports->NumberOfFunctions, i + 1);
        EXPECT_NE(GetProcAddress(module, "nvapi_QueryInterface"), nullptr);
        EXPECT_EQ(GetProcAddress(module, "LumivarDecoyModule") != nullptr, i == 1);
        FreeLibrary(module);
    }
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    g_modulePaths = argv + 1;
    return argc == 3 ? RUN_ALL_TESTS() : 2;
}
