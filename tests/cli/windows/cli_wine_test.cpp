// lumivar.exe under Wine on the simulated driver: the settings file and a driver that is late
// (its commands' bytes, rules and exit codes are tested natively, the panel's bytes with the
// panel; the logon entry with the keeper).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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

// doctor on the simulated boards, with each fault the driver and the machine can play: its
// lines, its JSON (the same facts), its exit code, and reads only in the driver's log.
TEST(Cli, DoctorReadsOnlyAndSaysWhatToDo) {
    const std::wstring& settings = TestPaths().settings;
    DeleteFileW(settings.c_str());
    const std::wstring temperatures = WorkPath(L"doctor.temperatures");
    std::ofstream(temperatures.c_str()) << "2 -\n";
    const std::string temperatureLine = "temperatures " + Utf8FromWide(temperatures);
    ASSERT_EQ(RunCli(WriteScenario(L"doctor-save", kDefaultBoards),
                     "apply --gpu 1 --color-by-temperature 0000ff:ff0000 --save")
                  .code,
              0u);
    const std::string saved = ReadWhole(settings);
    struct Case {
        std::string fault, says;
        DWORD code;
    };
    const std::string board0 = "GPU 0 (NVIDIA GeForce RTX 3080) LED controller: ";
    const Case cases[] = {
        {"", "ok    " + board0 + "answered the 8-byte read at address 0x49 on port 1\r\n", 0},
        {"i2c-read-fail 1",
         "FAIL  " + board0 +
             "did not answer the 8-byte read; what to do: the transfer failed (status -1): the "
             "board may have no LED controller",
         3},
        {"lock-held", "FAIL  board lock: the lock \"Global\\VOXA LED Lumivar I2C\" was not free",
         3},
        {"unreadable-settings", "FAIL  settings: ", 0},
        {temperatureLine,
         "FAIL  GPU 1 (NVIDIA GeForce RTX 2080 SUPER) temperature: cannot be read; what to do: ",
         0},
    };
    for (const Case& c : cases) {
        const bool driverFault = c.fault.find(' ') != std::string::npos;  // a scenario line
        const ScenarioFiles files = WriteScenario(
            L"doctor", driverFault ? Joined(kDefaultBoards, {c.fault}) : kDefaultBoards);
        const HANDLE lock = c.fault == "lock-held"
                                ? CreateMutexW(nullptr, TRUE, L"Global\\VOXA LED Lumivar I2C")
                                : nullptr;
        if (c.fault == "unreadable-settings")
            std::ofstream(Utf8FromWide(settings), std::ios::binary) << "{\"boards\": [";
        const CliRun lines = RunCli(files, "doctor");
        const CliRun json = RunCli(files, "doctor --json");
        if (lock != nullptr) CloseHandle(lock);
        EXPECT_EQ(lines.code, c.code) << c.fault << lines.out;
        EXPECT_NE(lines.out.find(c.says), std::string::npos) << c.fault << lines.out;
        EXPECT_NE(lines.out.find("ok    driver module: "), std::string::npos) << lines.out;
        EXPECT_EQ(WrittenData(lines.sent).size() + WrittenData(json.sent).size(), 0u) << c.fault;
        EXPECT_EQ(LoggedCalls(files, "NvAPI_I2CReadEx").size(), c.fault == "lock-held" ? 0u : 4u)
            << c.fault;
        const Json report = Json::parse(json.out, nullptr, false);
        EXPECT_EQ(report["exit_code"], c.code) << json.out;
        EXPECT_EQ(report["facts"].size(),
                  static_cast<size_t>(std::count(lines.out.begin(), lines.out.end(), '\n')));
        if (c.fault == "unreadable-settings")
            std::ofstream(Utf8FromWide(settings), std::ios::binary) << saved;
    }
    EXPECT_EQ(ReadWhole(settings), saved);
}

}  // namespace
}  // namespace e2e
