// The driver module is taken from the system directory only: copies planted beside the
// program, in the current directory and on PATH are never loaded.
#include <gtest/gtest.h>

#include "core/panel/control_ids.h"
#include "tests/e2e/panel_process.h"

namespace e2e {
namespace {

std::wstring PlantedDirectory(const std::wstring& name) {
    const std::wstring directory = WorkPath(L"planted-" + name);
    CreateDirectoryW(directory.c_str(), nullptr);
    return directory;
}

bool Plant(const std::wstring& directory) {
    return CopyFileW(TestPaths().decoyModule.c_str(), (directory + L"\\nvapi64.dll").c_str(),
                     FALSE) != FALSE;
}

TEST(PlantedModule, OnlyTheSystemDriverIsUsed) {
    ASSERT_FALSE(TestPaths().decoyModule.empty()) << "no --decoy given";
    // The decoy is a loadable module that says what it is.
    HMODULE decoy = LoadLibraryW(TestPaths().decoyModule.c_str());
    ASSERT_NE(decoy, nullptr);
    EXPECT_NE(GetProcAddress(decoy, "LumivarDecoyModule"), nullptr);
    FreeLibrary(decoy);

    const std::wstring programDirectory = PlantedDirectory(L"program");
    const std::wstring currentDirectory = PlantedDirectory(L"current");
    const std::wstring pathDirectory = PlantedDirectory(L"path");
    const std::wstring program = programDirectory + L"\\LEDLumivar.exe";
    ASSERT_TRUE(CopyFileW(TestPaths().program.c_str(), program.c_str(), FALSE));
    for (const auto& directory : {programDirectory, currentDirectory, pathDirectory}) {
        ASSERT_TRUE(Plant(directory));
    }

    const ScenarioFiles files = WriteScenario(L"planted", {kDefaultBoards[0]});
    StartOptions options;
    options.program = program;
    options.currentDirectory = currentDirectory;
    options.pathPrefix = pathDirectory;
    PanelProcess panel(files, options);
    const PanelWindow window(panel.WaitForMainWindow());
    ASSERT_NE(window.Main(), nullptr) << "the panel did not open with the system's driver";
    window.Click(kApplyButtonId);
    window.Close();
    EXPECT_EQ(panel.WaitForExit(), 0u);

    const std::vector<jsonline::Object> log = ReadDriverLog(files);
    for (const auto& line : log) EXPECT_FALSE(line.Bool("decoy")) << "a planted module was used";
    EXPECT_FALSE(Calls(log, "NvAPI_Initialize").empty());
    EXPECT_EQ(Calls(log, "NvAPI_I2CWriteEx").size(), 1u);
}

}  // namespace
}  // namespace e2e
