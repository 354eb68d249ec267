// lumivar.exe under Wine on the simulated driver: the settings file and a driver that is late
// (its commands' bytes, rules and exit codes are tested natively, the panel's bytes with the
// panel; the logon entry with the keeper).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/wine/cli_runs.h"

namespace e2e {
namespace {

struct CliRun {
    DWORD code = STILL_ACTIVE;
    std::string out, err;
    std::vector<Transfer> sent;
};

// One run on a scenario; stdout and stderr go to files.
CliRun RunCli(const ScenarioFiles& files, const std::string& arguments) {
    const DriverLogWatch watch(files);
    const DWORD code = RunToEnd(files, Cli(arguments, WorkPath(L"cli.out"), WorkPath(L"cli.err")));
    return {code, ReadWhole(WorkPath(L"cli.out")), ReadWhole(WorkPath(L"cli.err")),
            watch.TransfersSinceMark()};
}

// The writes a dry run printed, "a2 01 ..." each.
std::vector<std::string> PrintedWrites(const std::string& out) {
    std::vector<std::string> writes;
    for (size_t at = out.find(", write "); at != std::string::npos;
         at = out.find(", write ", at + 1)) {
        const size_t bytes = out.find(": ", at) + 2;
        writes.push_back(out.substr(bytes, out.find('\r', bytes) - bytes));
    }
    return writes;
}

// Each command is first run as a dry run, which prints the bytes the real run then sends, and
// sends and saves nothing.
TEST(Cli, SavedSettingsComeBackAlsoFromALateDriverAndAnUnreadableFileIsLeftAlone) {
    const std::wstring& settings = TestPaths().settings;
    DeleteFileW(settings.c_str());
    const ScenarioFiles files = WriteScenario(L"cli-save", kDefaultBoards);
    const std::string apply = "apply --gpu all --mode breathing --color 102030 --cycle --save";
    const CliRun dryApply = RunCli(files, apply + " --dry-run");
    EXPECT_EQ(GetFileAttributesW(settings.c_str()), INVALID_FILE_ATTRIBUTES) << "saved nothing";
    const CliRun saved = RunCli(files, apply);
    const CliRun dryRestore = RunCli(files, "restore --dry-run");
    const CliRun restored = RunCli(files, "restore");
    EXPECT_EQ(dryApply.code + saved.code + dryRestore.code + restored.code, 0u);
    EXPECT_EQ(WrittenData(dryApply.sent).size() + WrittenData(dryRestore.sent).size(), 0u);
    EXPECT_EQ(WrittenData(saved.sent).size(), 3u);
    EXPECT_EQ(PrintedWrites(dryApply.out), WrittenData(saved.sent)) << dryApply.out;
    EXPECT_EQ(WrittenData(restored.sent), WrittenData(saved.sent));
    EXPECT_EQ(PrintedWrites(dryRestore.out), WrittenData(restored.sent)) << dryRestore.out;

    // Early in a logon: tried again until the driver initialises (the absent 3080 is skipped).
    const ScenarioFiles late = WriteScenario(L"late", {kDefaultBoards[1], "not-ready-for 3000"});
    EXPECT_NE(RunCli(late, "restore --wait 30").out.find("on bus 1 is not present: skipped"),
              std::string::npos);
    const std::vector<Json> initialises = LoggedCalls(late, "NvAPI_Initialize");
    ASSERT_GE(initialises.size(), 2u) << "a process that starts ready tells nothing";
    EXPECT_EQ(initialises.front()["status"], -6);
    EXPECT_EQ(initialises.back()["status"], 0);
    EXPECT_EQ(LoggedCalls(late, "NvAPI_Unload").size(), 1u) << "one unload, after the last try";
    EXPECT_EQ(LoggedCalls(late, "NvAPI_I2CWriteEx").size(), 2u);
    const ScenarioFiles never = WriteScenario(L"never", {kDefaultBoards[1], "not-ready-for 9999"});
    const CliRun gaveUp = RunCli(never, "restore --wait 2");
    EXPECT_EQ(gaveUp.code, 3u);
    EXPECT_EQ(gaveUp.err,
              "lumivar: gave up after 2 s: the driver could not be initialised (status -6)\r\n");
    EXPECT_EQ(LoggedCalls(never, "NvAPI_I2C").size(), 0u);

    std::ofstream(Utf8FromWide(settings), std::ios::binary) << "{\"boards\": [";
    for (const char* arguments : {"apply --mode wave --save", "restore"}) {
        const CliRun run = RunCli(files, arguments);
        EXPECT_EQ(run.code, 4u) << arguments;
        EXPECT_NE(run.err.find("cannot be read"), std::string::npos) << run.err;
        EXPECT_TRUE(run.sent.empty());
    }
    EXPECT_EQ(ReadWhole(settings), "{\"boards\": [");
}

}  // namespace
}  // namespace e2e
