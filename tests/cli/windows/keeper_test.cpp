// The keeper under Wine on the simulated driver. Wine tells no window of resumes, session changes
// or devices and has no tray, so the tests send those messages themselves, as the system would.
#include <windows.h>
#include <dbt.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include "cli/windows/tray_icon.h"
#include "core/keeper/keeper.h"
#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/keeper_program.h"
#include "platform/windows/utf8_text.h"
#include "tests/cli/windows/keeper_run.h"
#include "tests/support/wine/open_panel.h"
#include "tests/support/wine/wait_until.h"

namespace e2e {
namespace {

// What a restore of the saved breathing 102030 logs after its trigger's name.
const std::string kRestored =
    ": GPU 0 (NVIDIA GeForce RTX 3080): restored breathing, colour 102030, shade 50, LED on, "
    "single, interval medium, brightness 100%; GPU 1 (NVIDIA GeForce RTX 2080 SUPER): restored "
    "breathing, colour 102030, shade 50, LED on";
// GUID_DEVINTERFACE_DISPLAY_ADAPTER, and GUID_DEVINTERFACE_MONITOR for a device of another class.
constexpr GUID kDisplayAdapter = {
    0x5B45201D, 0xF2F2, 0x4F3B, {0x85, 0xBB, 0x30, 0xFF, 0x1F, 0x95, 0x35, 0x99}};
constexpr GUID kMonitor = {
    0xE6F07B5F, 0xEE97, 0x4A90, {0xB0, 0x76, 0x33, 0xF5, 0x7B, 0xF4, 0xEA, 0xA7}};

std::wstring LogonEntry() {
    wchar_t value[1024] = L"(none)";
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                 L"VOXA LED Lumivar", RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

TEST(Keeper, RestoresOnceForEachTriggerAfterItsGatheringTimeAndForNothingElse) {
    KeeperRun run(L"keeper", kDefaultBoards);
    const std::vector<std::string> restored =
        run.Run("apply --gpu all --mode breathing --color 102030 --save");
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
          {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0},
          {WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, 0},
          {WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0},
          {WM_TIMER, 1, 0},  // the gathering timer's own id, while none runs
          {WM_COMMAND, 0x0299, 0},
          {WM_ENDSESSION, FALSE, 0},
          {kKeeperRestoreNowMessage, kKeeperRestoreNowRequest + 1, 0},
          {WM_APP + 3, 0, WM_MOUSEMOVE},  // the tray icon's, not its menu
          {kKeeperRestoreNowMessage, kKeeperRestoreNowRequest, 0}}},
    };
    for (const auto& [trigger, messages, spacing] : cases) {
        SCOPED_TRACE(trigger);
        const size_t initialised = run.Count("NvAPI_Initialize");
        const ULONGLONG sent = GetTickCount64();
        const bool starting = run.window == nullptr;
        if (starting) {
            run.Start();
            EXPECT_FALSE(IsWindowVisible(run.window));
        } else if (messages.empty()) {
            EXPECT_EQ(RunToEnd(run.files, {TestPaths().keeper, L"", false, L" keep"}), 0u);
        }
        for (const auto& [message, wParam, lParam] : messages) {
            run.Deliver(message, wParam, lParam);
            Sleep(spacing);
        }
        const Said said = run.Next();
        EXPECT_EQ(said.text, trigger + kRestored);
        EXPECT_EQ(said.writes, restored);
        EXPECT_EQ(run.Count("NvAPI_Initialize"), initialised + 1);
        // Not at once but after the gathering time (a generous lower bound).
        EXPECT_GE(GetTickCount64() - sent, starting ? 0 : kGatherTriggersMilliseconds / 2);
    }

    // A resume whose driver is not up yet: tried until it is. A resume meanwhile makes one more.
    const std::vector<std::string> notUp = {kDefaultBoards[0], kDefaultBoards[1],
                                            "initialize-status -6"};
    run.Rewrite(notUp);
    run.Deliver(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    EXPECT_TRUE(WaitUntil([&] { return run.Count("NvAPI_Initialize", -6) >= 2; }, 15000));
    run.Deliver(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    run.Rewrite(kDefaultBoards);
    const Said first = run.Next(), second = run.Next();
    EXPECT_EQ(first.text + "|" + second.text, "resume" + kRestored + "|resume" + kRestored);
    EXPECT_EQ(Joined(first.writes, second.writes), Joined(restored, restored));
    run.Stop();

    // Also ended at the session's end and from the tray menu, each with 0.
    for (const auto& [message, wParam] :
         std::vector<std::pair<UINT, WPARAM>>{{WM_ENDSESSION, TRUE}, {WM_COMMAND, kExitCommand}}) {
        run.Start();
        run.Stop(message, wParam);
    }
    // Closed while its start-up restore waits for a driver that is not up: it ends with 0 long
    // before that wait of 60 s would.
    run.Rewrite(notUp);
    const size_t refused = run.Count("NvAPI_Initialize", -6);
    run.Start();
    EXPECT_TRUE(WaitUntil([&] { return run.Count("NvAPI_Initialize", -6) > refused; }, 15000));
    run.Stop();
    EXPECT_EQ(run.Count("NvAPI_Initialize", 0), run.Count("NvAPI_UnloadWithArgument"))
        << "no driver held between restores";
}

// lumivar.exe's logon command and the panel's system-menu item, each with lumivarw.exe beside it
// and alone.
TEST(Keeper, LogonEntryAndKeeperTurnedOnAndOffByLumivarAndThePanelsSystemMenu) {
    KeeperRun run(L"keeper-logon", kDefaultBoards);
    for (const bool panel : {false, true}) {
        for (const bool withKeeper : {true, false}) {
            const std::wstring folder = WorkPath(std::to_wstring(panel * 2 + withKeeper));
            const StartOptions copy =
                CopiedInto(folder, panel ? TestPaths().program : TestPaths().cli, withKeeper);
            SCOPED_TRACE(Utf8FromWide(copy.program));
            std::optional<OpenPanel> opened;
            if (panel) opened.emplace(L"keeper-menu", kDefaultBoards, copy);
            const auto turn = [&](bool on) {
                return panel ? opened->window.SystemCommand(0x0110)
                             : RunToEnd(run.files, {copy.program, L"", false,
                                                    on ? L" logon enable" : L" logon disable"}) ==
                                   (on && !withKeeper ? 5u : 0u);
            };
            EXPECT_TRUE(turn(true));
            EXPECT_EQ(LogonEntry(), withKeeper ? KeeperCommandLine(folder) : L"(none)");
            EXPECT_EQ(WaitUntil([] { return RunningKeeper(); }, withKeeper ? 10000 : 0),
                      withKeeper);
            EXPECT_TRUE(turn(false));
            EXPECT_EQ(LogonEntry(), L"(none)");
            EXPECT_EQ(RunningKeeper(), nullptr);
            if (panel) opened->CloseAndExpectExitZero();
        }
    }
}

}  // namespace
}  // namespace e2e
