// lumivar.exe under Wine on the simulated driver: the same bytes as the panel for the same
// controls, what it lists, its exit codes, the settings file and a driver that is late (the logon
// entry: tests/keeper).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>

#include "core/rules/control_ids.h"
#include "platform/windows/utf8_text.h"
#include "tests/support/wine/cli_runs.h"
#include "tests/support/wine/driver_log.h"
#include "tests/support/wine/open_panel.h"
#include "tests/support/wine/test_paths.h"
#include "tests/support/wine/window_driving.h"

namespace e2e {
namespace {

struct CliRun {
    DWORD code = STILL_ACTIVE;
    std::string out, err;
};

// One run on a scenario; stdout and stderr go to files, the settings under the work folder.
CliRun RunCli(const ScenarioFiles& files, const std::string& arguments) {
    SetEnvironmentVariableW(L"APPDATA", WorkPath(L"appdata").c_str());
    const DWORD code =
        FinishCli(StartCli(files, arguments, WorkPath(L"cli.out"), WorkPath(L"cli.err")));
    return {code, ReadWhole(WorkPath(L"cli.out")), ReadWhole(WorkPath(L"cli.err"))};
}

// Where RunCli's runs keep their settings.
constexpr const wchar_t* kSettings = L"appdata\\VOXA\\LED Lumivar\\settings.json";

// The driver's log lines whose call starts with `call`.
std::vector<Json> LoggedCalls(const ScenarioFiles& files, const std::string& call) {
    std::vector<Json> calls = ReadDriverLog(files);
    calls.erase(
        std::remove_if(calls.begin(), calls.end(),
                       [&](const Json& line) { return line.value("call", "").rfind(call, 0); }),
        calls.end());
    return calls;
}

TEST(Cli, SendsExactlyWhatThePanelSendsForTheSameControls) {
    OpenPanel panel(L"cli-panel");
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    // On a slot, the panel's controls as freshly started or set so, Apply or Reset; and the same
    // from the command line.
    const struct {
        int slot;
        std::optional<ControlSetting> controls;
        int button;
        const char* command;
    } cases[] = {
        {0, {}, kApplyButtonId, "apply"},
        {0, ControlSetting{2, 1, 0, 3, 0, 20, L"12", L"34", L"56"}, kApplyButtonId,
         "apply --mode breathing --cycle --interval short --brightness 25 --off --shade 20 --color "
         "0c2238"},
        {1, ControlSetting{4, 0, 1, 0, 0, 0, L"53", L"3", L"1"}, kApplyButtonId,
         "apply --gpu 1 --mode Color-Cycle --off --shade 0 --color 350301"},
        {0, {}, kResetButtonId, "reset"},
        {1, {}, kResetButtonId, "reset --gpu 1"},
    };
    for (const auto& [slot, controls, button, command] : cases) {
        SCOPED_TRACE(command);
        window.Select(kGpuListId, slot);
        if (controls) window.Set(*controls);
        DriverLogWatch watch(panel.files);
        window.Click(button);
        const std::vector<Transfer> fromPanel = watch.WaitForWrites(slot == 1 ? 2 : 1);
        watch.Mark();
        EXPECT_EQ(RunCli(panel.files, command).code, 0u);
        const std::vector<Transfer> fromCli = watch.TransfersSinceMark();
        ASSERT_EQ(WrittenData(fromCli), WrittenData(fromPanel));
        ASSERT_FALSE(fromCli.empty());
        EXPECT_GE(fromCli.back().t - fromCli.front().t, slot * 450) << "blocks 500 ms apart";
    }
    panel.CloseAndExpectExitZero();
}

// Each exit code from the real program (4: below); the commands' rules are tested natively.
TEST(Cli, ListsAndExitsWithItsCodes) {
    const std::vector<std::string> three = {kDefaultBoards[0], kDefaultBoards[1],
                                            "gpu bus=3 pci=1b8010de name=\"Éclair\""};
    struct Case {
        std::vector<std::string> scenario;
        const char* arguments;
        DWORD code;
        std::string says;  // on stdout for 0, on stderr otherwise
        size_t writes;
    };
    const Case cases[] = {
        {three, "list", 0,
         "0 1 220610de 3000 NVIDIA GeForce RTX 3080\r\n1 2 1e8110de 2000 NVIDIA GeForce RTX 2080 "
         "SUPER\r\n2 3 1b8010de unsupported Éclair\r\n",
         0},
        {three, "apply --gpu all", 0, "\nGPU 2 (Éclair): skipped, not a supported board\r\n", 3},
        {three, "apply --gpu 1 --mode flash", 1,
         "modes are static, strobing, wave, breathing, color-cycle", 0},
        {three, "apply --gpu 3", 2, "lumivar: there is no GPU 3", 0},
        {{kDefaultBoards[0], "initialize-status -6"}, "apply", 3, "initialised (status -6)", 0},
    };
    for (const Case& c : cases) {
        const ScenarioFiles files =
            WriteScenario(L"cli-exit " + WideFromUtf8(c.arguments), c.scenario);
        const CliRun run = RunCli(files, c.arguments);
        EXPECT_EQ(run.code, c.code) << c.arguments;
        EXPECT_NE((c.code == 0 ? run.out : run.err).find(c.says), std::string::npos)
            << run.out << run.err;
        EXPECT_EQ(LoggedCalls(files, "NvAPI_I2CWriteEx").size(), c.writes) << c.arguments;
    }
}

TEST(Cli, SavedSettingsComeBackAlsoFromALateDriverAndAnUnreadableFileIsLeftAlone) {
    const std::wstring settings = WorkPath(kSettings);
    DeleteFileW(settings.c_str());
    const ScenarioFiles files = WriteScenario(L"cli-save", kDefaultBoards);
    DriverLogWatch watch(files);
    EXPECT_EQ(RunCli(files, "apply --gpu all --mode breathing --color 102030 --cycle --save").code,
              0u);
    const std::vector<Transfer> saved = watch.TransfersSinceMark();
    EXPECT_EQ(WrittenData(saved).size(), 3u);
    watch.Mark();
    EXPECT_EQ(RunCli(files, "restore").code, 0u);
    EXPECT_EQ(WrittenData(watch.TransfersSinceMark()), WrittenData(saved));

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
        watch.Mark();
        const CliRun run = RunCli(files, arguments);
        EXPECT_EQ(run.code, 4u) << arguments;
        EXPECT_NE(run.err.find("cannot be read"), std::string::npos) << run.err;
        EXPECT_TRUE(watch.TransfersSinceMark().empty());
    }
    EXPECT_EQ(ReadWhole(settings), "{\"boards\": [");
}

}  // namespace
}  // namespace e2e
