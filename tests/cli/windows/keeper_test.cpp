// The keeper under Wine on the simulated driver. Wine tells no window of resumes or session
// changes, so the tests post those messages themselves, as the system would send them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>

#include "cli/windows/tray_icon.h"
#include "platform/windows/keeper_program.h"
#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/utf8_text.h"
#include "tests/support/wine/driver_log.h"
#include "tests/support/wine/open_panel.h"
#include "tests/support/wine/program_process.h"
#include "tests/support/wine/test_paths.h"
#include "tests/support/wine/wait_until.h"

namespace e2e {
namespace {

const std::wstring& kCli = TestPaths().cli;
const std::wstring& kKeeper = TestPaths().keeper;

StartOptions Program(const std::wstring& program, const wchar_t* arguments = L"") {
    return {program, L"", false, arguments};
}

DWORD RunToEnd(const ScenarioFiles& files, const std::wstring& program, const wchar_t* arguments) {
    ProgramProcess process(files, Program(program, arguments));
    return process.WaitForExit(90000);
}

// A scenario, with the settings and the keeper's log in the work folder.
ScenarioFiles UseScenario(const std::wstring& name) {
    SetEnvironmentVariableW(L"APPDATA", WorkPath(L"keeper-appdata").c_str());
    SetEnvironmentVariableW(L"LOCALAPPDATA", WorkPath(L"keeper-local").c_str());
    return WriteScenario(name, kDefaultBoards);
}

size_t Count(const ScenarioFiles& files, const char* call, int status = 0) {
    const std::vector<Json> log = ReadDriverLog(files);
    return std::count_if(log.begin(), log.end(), [&](const Json& line) {
        return line.value("call", "") == call && line.value("status", 0) == status;
    });
}

// The scenario changed under the keeper: the driver reads it again at its next load.
void Rewrite(const ScenarioFiles& files, const std::vector<std::string>& lines) {
    std::ofstream out(files.scenario.c_str(), std::ios::binary | std::ios::trunc);
    out << "log " << Utf8FromWide(files.log) << "\n";
    for (const std::string& line : lines) out << line << "\n";
}

HWND WaitForKeeper() {
    WaitUntil([] { return RunningKeeper() != nullptr; });
    return RunningKeeper();
}

std::wstring LogonEntry() {
    wchar_t value[1024] = L"(none)";
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                 L"VOXA LED Lumivar", RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

TEST(Keeper, RestoresAtStartAfterResumeUnlockASecondKeepAndALateDriverOnlyThenEndsWithZero) {
    const ScenarioFiles files = UseScenario(L"keeper");
    DeleteFileW(WorkPath(L"keeper-local\\VOXA\\LED Lumivar\\keeper.log").c_str());
    DriverLogWatch watch(files);
    ASSERT_EQ(RunToEnd(files, kCli, L" apply --gpu all --mode breathing --color 102030 --save"),
              0u);
    const std::vector<std::string> restored = WrittenData(watch.TransfersSinceMark());
    ASSERT_EQ(restored.size(), 3u);

    watch.Mark();
    ProgramProcess process(files, Program(kKeeper, L" keep"));
    const HWND keeper = WaitForKeeper();
    EXPECT_EQ(WrittenData(watch.WaitForWrites(3)), restored) << "at start";
    EXPECT_FALSE(IsWindowVisible(keeper));

    // Posted 150 ms apart; none: a second keep. The last ones: a restore's end while none runs,
    // a tray event, a message of no meaning.
    const struct {
        std::vector<std::tuple<UINT, WPARAM, LPARAM>> posted;
        bool restores;
    } cases[] = {
        {{{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0},
          {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0},
          {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0}},
         true},
        {{{WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0}}, true},
        {{}, true},
        {{{WM_POWERBROADCAST, PBT_APMSUSPEND, 0},
          {WM_POWERBROADCAST, 0x1234, 0},
          {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0},
          {WM_WTSSESSION_CHANGE, 0x99, 0},
          {WM_DEVICECHANGE, 0x1234, 0x5678},
          {WM_DEVICECHANGE, 0x8000, 0},
          {WM_TIMER, 77, 0},
          {WM_COMMAND, 0x0299, 0},
          {WM_ENDSESSION, FALSE, 0},
          {kKeeperRestoreNowMessage, 2, 0},
          {WM_APP + 2, 1, 1},
          {WM_APP + 3, 0, WM_MOUSEMOVE},
          {WM_APP + 9, 1, 0}},
         false},
    };
    for (const auto& [posted, restores] : cases) {
        const size_t initialised = Count(files, "NvAPI_Initialize");
        watch.Mark();
        EXPECT_TRUE(!posted.empty() || RunToEnd(files, kKeeper, L" keep") == 0);
        for (const auto& [message, wParam, lParam] : posted) {
            PostMessageW(keeper, message, wParam, lParam);
            Sleep(150);
        }
        EXPECT_EQ(WrittenData(watch.WaitForWrites(restores ? 3 : 1, restores ? 15000 : 3000)),
                  restores ? restored : std::vector<std::string>());
        Sleep(3000);  // past the quiet time, for a restore that should not come
        EXPECT_EQ(Count(files, "NvAPI_Initialize"), initialised + restores) << posted.size();
    }

    // A resume whose driver is not up yet: tried until it is. A resume meanwhile makes one more.
    Rewrite(files, {kDefaultBoards[0], kDefaultBoards[1], "initialize-status -6"});
    watch.Mark();
    PostMessageW(keeper, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(WaitUntil([&] { return Count(files, "NvAPI_Initialize", -6) >= 2; }, 15000));
    PostMessageW(keeper, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    Rewrite(files, kDefaultBoards);
    EXPECT_EQ(WrittenData(watch.WaitForWrites(6, 20000)).size(), 6u) << "two restores";

    PostMessageW(keeper, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.WaitForExit(), 0u);
    EXPECT_EQ(Count(files, "NvAPI_Initialize"), Count(files, "NvAPI_UnloadWithArgument"))
        << "no driver held between restores";
    std::ifstream log(WorkPath(L"keeper-local\\VOXA\\LED Lumivar\\keeper.log").c_str());
    std::string triggers;
    for (std::string line; std::getline(log, line);) {
        triggers += line.substr(20, line.find(": GPU 0 (NVIDIA GeForce RTX 3080): restored "
                                              "breathing, colour 102030") -
                                        20) +
                    ",";
    }
    EXPECT_EQ(triggers, "start,resume,unlock,second keep,resume,resume,");

    // Also ended at the session's end and from the tray menu, each with 0.
    for (const auto& [message, wParam] :
         std::vector<std::pair<UINT, WPARAM>>{{WM_ENDSESSION, TRUE}, {WM_COMMAND, kExitCommand}}) {
        ProgramProcess another(files, Program(kKeeper, L" keep"));
        PostMessageW(WaitForKeeper(), message, wParam, 0);
        EXPECT_EQ(another.WaitForExit(), 0u) << message;
    }
    // Closed while its start-up restore waits for a driver that is not up: it ends with 0 long
    // before that wait of 60 s would.
    Rewrite(files, {kDefaultBoards[0], kDefaultBoards[1], "initialize-status -6"});
    const size_t refused = Count(files, "NvAPI_Initialize", -6);
    ProgramProcess waiting(files, Program(kKeeper, L" keep"));
    const HWND waitingKeeper = WaitForKeeper();
    EXPECT_TRUE(WaitUntil([&] { return Count(files, "NvAPI_Initialize", -6) > refused; }, 15000));
    PostMessageW(waitingKeeper, WM_CLOSE, 0, 0);
    EXPECT_EQ(waiting.WaitForExit(20000), 0u);
}

// lumivar.exe's logon command and the panel's system-menu item, each with lumivarw.exe beside it
// and alone.
TEST(Keeper, LogonEntryAndKeeperTurnedOnAndOffByLumivarAndThePanelsSystemMenu) {
    const ScenarioFiles files = UseScenario(L"keeper-logon");
    for (const bool panel : {false, true}) {
        for (const bool withKeeper : {true, false}) {
            const std::wstring folder = WorkPath(std::to_wstring(panel * 2 + withKeeper));
            const std::wstring program = folder + (panel ? L"\\LEDLumivar.exe" : L"\\lumivar.exe");
            CreateDirectoryW(folder.c_str(), nullptr);
            CopyFileW((panel ? TestPaths().program : kCli).c_str(), program.c_str(), FALSE);
            if (withKeeper) CopyFileW(kKeeper.c_str(), (folder + L"\\lumivarw.exe").c_str(), FALSE);
            SCOPED_TRACE(Utf8FromWide(program));
            std::optional<OpenPanel> opened;
            if (panel) opened.emplace(L"keeper-menu", kDefaultBoards, Program(program));
            const auto turn = [&](bool on) {
                DWORD_PTR result = 0;
                return panel
                           ? SendMessageTimeoutW(opened->window.Main(), WM_SYSCOMMAND, 0x0110, 0,
                                                 SMTO_NORMAL, 30000, &result) != 0
                           : RunToEnd(files, program, on ? L" logon enable" : L" logon disable") ==
                                 (on && !withKeeper ? 5u : 0u);
            };
            EXPECT_TRUE(turn(true));
            EXPECT_EQ(LogonEntry(), withKeeper ? KeeperCommandLine(folder) : L"(none)");
            EXPECT_EQ((withKeeper ? WaitForKeeper() : RunningKeeper()) != nullptr, withKeeper);
            EXPECT_TRUE(turn(false));
            EXPECT_EQ(LogonEntry(), L"(none)");
            EXPECT_EQ(RunningKeeper(), nullptr);
            if (panel) opened->CloseAndExpectExitZero();
        }
    }
}

}  // namespace
}  // namespace e2e
