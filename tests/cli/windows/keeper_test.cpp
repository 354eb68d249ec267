// The keeper under Wine on the simulated driver. Wine tells no window of resumes, session changes
// or devices and has no tray, so the tests send those messages themselves, as the system would.
#include <windows.h>
#include <dbt.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <regex>

#include "cli/windows/tray_icon.h"
#include "core/keeper/keeper.h"
#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/keeper_program.h"
#include "platform/windows/utf8_text.h"
#include "tests/support/wine/cli_runs.h"
#include "tests/support/wine/driver_log.h"
#include "tests/support/wine/open_panel.h"
#include "tests/support/wine/program_process.h"
#include "tests/support/wine/test_paths.h"
#include "tests/support/wine/wait_until.h"
#include "tests/support/wine/window_driving.h"

namespace e2e {
namespace {

const std::wstring& kCli = TestPaths().cli;
const std::wstring& kKeeper = TestPaths().keeper;
// What a restore of the saved breathing 102030 logs after its trigger's name.
const std::string kRestored =
    ": GPU 0 (NVIDIA GeForce RTX 3080): restored breathing, colour 102030, shade 50, LED on, "
    "single, interval medium, brightness 100%; GPU 1 (NVIDIA GeForce RTX 2080 SUPER): restored "
    "breathing, colour 102030, shade 50, LED on";
const std::wstring kKeeperLog = WorkPath(L"keeper-local\\VOXA\\LED Lumivar\\keeper.log");
// GUID_DEVINTERFACE_DISPLAY_ADAPTER, and GUID_DEVINTERFACE_MONITOR for a device of another class.
constexpr GUID kDisplayAdapter = {
    0x5B45201D, 0xF2F2, 0x4F3B, {0x85, 0xBB, 0x30, 0xFF, 0x1F, 0x95, 0x35, 0x99}};
constexpr GUID kMonitor = {
    0xE6F07B5F, 0xEE97, 0x4A90, {0xB0, 0x76, 0x33, 0xF5, 0x7B, 0xF4, 0xEA, 0xA7}};

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

// The keeper's log without its first `skipped` lines, once it has `wanted` more (or after 15 s):
// whole lines, each without its time ("2024-05-01 12:34:56 ").
std::vector<std::string> KeeperLog(size_t skipped = 0, size_t wanted = 0) {
    static const std::regex timed(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (.*))");
    std::vector<std::string> lines;
    WaitUntil(
        [&] {
            const std::string text = ReadWhole(kKeeperLog);
            lines.clear();
            std::smatch match;
            for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
                 start = end + 2) {
                const std::string line = text.substr(start, end - start);
                lines.push_back(std::regex_match(line, match, timed) ? match[1].str() : line);
            }
            return lines.size() >= skipped + wanted;
        },
        15000);
    lines.erase(lines.begin(), lines.begin() + std::min(skipped, lines.size()));
    return lines;
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

// Posted as the system posts it; a device event with an lParam (here the interface class it names)
// sent with its structure, as the system sends it.
void Deliver(HWND keeper, UINT message, WPARAM wParam, LPARAM lParam = 0) {
    if (message != WM_DEVICECHANGE || lParam == 0) {
        EXPECT_TRUE(PostMessageW(keeper, message, wParam, lParam)) << message << " " << wParam;
        return;
    }
    DEV_BROADCAST_DEVICEINTERFACE_W device = {};
    device.dbcc_size = sizeof device;
    device.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    device.dbcc_classguid = *reinterpret_cast<const GUID*>(lParam);
    EXPECT_EQ(SendWithData(keeper, message, wParam, &device, sizeof device), TRUE) << wParam;
}

std::wstring LogonEntry() {
    wchar_t value[1024] = L"(none)";
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                 L"VOXA LED Lumivar", RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

TEST(Keeper, RestoresOnceForEachTriggerAfterItsGatheringTimeAndForNothingElse) {
    const ScenarioFiles files = UseScenario(L"keeper");
    DeleteFileW(kKeeperLog.c_str());
    DriverLogWatch watch(files);
    ASSERT_EQ(RunToEnd(files, kCli, L" apply --gpu all --mode breathing --color 102030 --save"),
              0u);
    const std::vector<std::string> restored = WrittenData(watch.TransfersSinceMark());
    ASSERT_EQ(restored.size(), 3u);

    // Each: one restore of the boards after the gathering time, named for its first message, the
    // driver loaded once for it. No messages: lumivarw.exe keep, the first time the keeper's
    // start, then a second keep (which exits 0). The three resumes make one restore; so do the
    // messages of no meaning to the keeper and a restore-now request after them (had any of them
    // started a gathering, the restore would be named for it, or there would be two).
    const LPARAM displayAdapter = reinterpret_cast<LPARAM>(&kDisplayAdapter);
    const struct {
        const char* trigger;
        std::vector<std::tuple<UINT, WPARAM, LPARAM>> messages;
        DWORD spacing = 0;
    } cases[] = {
        {"start", {}},
        {"resume",
         {{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0},
          {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0},
          {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0}},
         150},
        {"resume", {{WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0}}},
        {"unlock", {{WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0}}},
        {"logon", {{WM_WTSSESSION_CHANGE, WTS_SESSION_LOGON, 0}}},
        {"console connect", {{WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, 0}}},
        {"remote connect", {{WM_WTSSESSION_CHANGE, WTS_REMOTE_CONNECT, 0}}},
        {"display adapter", {{WM_DEVICECHANGE, DBT_DEVICEARRIVAL, displayAdapter}}},
        {"tray menu", {{WM_COMMAND, kRestoreNowCommand, 0}}},
        {"second keep", {}},
        {"second keep",
         {{WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&kMonitor)},
          {WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, displayAdapter},
          {WM_POWERBROADCAST, PBT_APMSUSPEND, 0},
          {WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0},
          {WM_POWERBROADCAST, 0x1234, 0},
          {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0},
          {WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, 0},
          {WM_WTSSESSION_CHANGE, WTS_REMOTE_DISCONNECT, 0},
          {WM_WTSSESSION_CHANGE, WTS_SESSION_LOGOFF, 0},
          {WM_WTSSESSION_CHANGE, 0x99, 0},
          {WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0},
          {WM_DEVICECHANGE, 0x1234, 0},
          {WM_TIMER, 1, 0},  // the gathering timer's own id, while none runs
          {WM_TIMER, 77, 0},
          {WM_COMMAND, 0x0299, 0},
          {WM_ENDSESSION, FALSE, 0},
          {kKeeperRestoreNowMessage, 0, 0},
          {kKeeperRestoreNowMessage, kKeeperRestoreNowRequest + 1, 0},
          {WM_APP + 2, 1, 1},
          {WM_APP + 3, 0, WM_MOUSEMOVE},  // the tray icon's, not its menu
          {WM_APP + 9, 1, 0},
          {kKeeperRestoreNowMessage, kKeeperRestoreNowRequest, 0}}},
    };
    std::optional<ProgramProcess> process;
    HWND keeper = nullptr;
    for (const auto& [trigger, messages, spacing] : cases) {
        SCOPED_TRACE(trigger);
        const size_t lines = KeeperLog().size();
        const size_t initialised = Count(files, "NvAPI_Initialize");
        watch.Mark();
        const ULONGLONG sent = GetTickCount64();
        const bool starting = !process;
        if (messages.empty() && !starting) {
            EXPECT_EQ(RunToEnd(files, kKeeper, L" keep"), 0u);
        } else if (starting) {
            process.emplace(files, Program(kKeeper, L" keep"));
            keeper = WaitForKeeper();
            EXPECT_FALSE(IsWindowVisible(keeper));
        }
        for (const auto& [message, wParam, lParam] : messages) {
            Deliver(keeper, message, wParam, lParam);
            Sleep(spacing);
        }
        EXPECT_EQ(WrittenData(watch.WaitForWrites(3)), restored);
        EXPECT_EQ(KeeperLog(lines, 1), std::vector<std::string>{trigger + kRestored});
        EXPECT_EQ(Count(files, "NvAPI_Initialize"), initialised + 1);
        // Not at once but after the gathering time (a generous lower bound).
        EXPECT_GE(GetTickCount64() - sent, starting ? 0 : kGatherTriggersMilliseconds / 2);
    }

    // A resume whose driver is not up yet: tried until it is. A resume meanwhile makes one more.
    Rewrite(files, {kDefaultBoards[0], kDefaultBoards[1], "initialize-status -6"});
    const size_t lines = KeeperLog().size();
    watch.Mark();
    Deliver(keeper, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    EXPECT_TRUE(WaitUntil([&] { return Count(files, "NvAPI_Initialize", -6) >= 2; }, 15000));
    Deliver(keeper, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    Rewrite(files, kDefaultBoards);
    std::vector<std::string> twice = restored;
    twice.insert(twice.end(), restored.begin(), restored.end());
    EXPECT_EQ(WrittenData(watch.WaitForWrites(6, 20000)), twice);
    EXPECT_EQ(KeeperLog(lines, 2), std::vector<std::string>(2, "resume" + kRestored));

    Deliver(keeper, WM_CLOSE, 0);
    EXPECT_EQ(process->WaitForExit(), 0u);

    // Also ended at the session's end and from the tray menu, each with 0.
    for (const auto& [message, wParam] :
         std::vector<std::pair<UINT, WPARAM>>{{WM_ENDSESSION, TRUE}, {WM_COMMAND, kExitCommand}}) {
        ProgramProcess another(files, Program(kKeeper, L" keep"));
        EXPECT_TRUE(PostMessageW(WaitForKeeper(), message, wParam, 0));
        EXPECT_EQ(another.WaitForExit(), 0u) << message;
    }
    // Closed while its start-up restore waits for a driver that is not up: it ends with 0 long
    // before that wait of 60 s would.
    Rewrite(files, {kDefaultBoards[0], kDefaultBoards[1], "initialize-status -6"});
    const size_t refused = Count(files, "NvAPI_Initialize", -6);
    ProgramProcess waiting(files, Program(kKeeper, L" keep"));
    const HWND waitingKeeper = WaitForKeeper();
    EXPECT_TRUE(WaitUntil([&] { return Count(files, "NvAPI_Initialize", -6) > refused; }, 15000));
    EXPECT_TRUE(PostMessageW(waitingKeeper, WM_CLOSE, 0, 0));
    EXPECT_EQ(waiting.WaitForExit(20000), 0u);
    EXPECT_EQ(Count(files, "NvAPI_Initialize"), Count(files, "NvAPI_UnloadWithArgument"))
        << "no driver held between restores";
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
