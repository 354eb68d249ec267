// The keeper's lighting that follows the machine, under Wine on the simulated driver: the lock,
// the display, the quiet hours, a GPU's temperature and the panel's item that adds away to the
// rule. Wine tells no window of locks or of the display, so the tests send those messages as the
// system would.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <tuple>

#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/utf8_text.h"
#include "tests/cli/windows/keeper_run.h"
#include "tests/support/wine/open_panel.h"
#include "tests/support/wine/wait_until.h"
#include "tests/support/wine/wine_paths.h"

namespace e2e {
namespace {

// "lock: GPU 0 lights out; GPU 1 lights out": what each board was sent, without its lighting.
std::string Summary(const std::string& text) {
    static const std::regex board(R"( \([^)]*\): (restored|sent|lights out)[^;]*)");
    return std::regex_replace(text, board, " $1");
}

std::string Rule() {
    const Json settings = Json::parse(ReadWhole(TestPaths().settings), nullptr, false);
    return settings.is_object() ? settings.value("lights-out", "never") : "unreadable";
}

std::string Minutes(int minutes) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60 % 24, minutes % 60);
    return text;
}

TEST(KeeperLights, GoOutWhileAwayAndInQuietHoursAndComeBackForEachBoard) {
    KeeperRun run(L"lights-away", kDefaultBoards);
    std::vector<std::string> lit, dark;
    for (const char* board : {"--gpu 0 --mode flash --color 102030 --interval long",
                              "--gpu 1 --mode strobing --color 405060 --brightness 50"}) {
        lit = Joined(lit, run.Run(std::string("apply ") + board + " --save"));
        dark = Joined(dark, run.Run(std::string("apply ") + board + " --off"));
    }
    ASSERT_FALSE(lit.empty());
    ASSERT_NE(lit, dark);

    // Quiet hours that end at the next minute, or the one after when this one is nearly over:
    // enough time for a start and a resume inside them. Where CTest preloads libfaketime with a
    // file for its offset, the programs this test starts run that many seconds ahead, at 44 s
    // into a minute: the hours end some 16 s later instead of up to a minute and a half.
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t clock[MAX_PATH] = L"";
    const bool ahead = GetEnvironmentVariableW(L"FAKETIME_TIMESTAMP_FILE", clock, MAX_PATH) > 0;
    const int seconds = ahead ? 44 : now.wSecond;
    if (ahead) {
        std::ofstream(WindowsPathFromArgument(clock).c_str())
            << "+" << (seconds - now.wSecond + 60) % 60 << "\n";
    }
    const int end = now.wHour * 60 + now.wMinute + (seconds < now.wSecond) + (seconds < 45 ? 1 : 2);
    const std::string hours = "away " + Minutes(end + 24 * 60 - 3) + "-" + Minutes(end);

    // Each: a rule set with lumivar.exe (the keeper restarted first, or told), the messages, then
    // the keeper's next line with what every board was sent, the driver loaded once for it. A
    // message that changes nothing is shown by the restore-now after it being the line's trigger.
    const std::pair<UINT, WPARAM> lock = {WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK},
                                  unlock = {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK},
                                  off = {kDisplay, 0}, on = {kDisplay, 1}, dimmed = {kDisplay, 2},
                                  restoreNow = {kKeeperRestoreNowMessage, kKeeperRestoreNowRequest};
    const struct {
        std::string rule;
        bool restart;
        std::vector<std::pair<UINT, WPARAM>> messages;
        const char* trigger;
        const char* what;
        const std::vector<std::string>& writes;
    } steps[] = {
        {hours, true, {}, "start", "lights out", dark},
        {"", false, {{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC}}, "resume", "lights out", dark},
        {"", false, {}, "quiet hours", "sent", lit},
        {"never", true, {}, "start", "restored", lit},
        {"", false, {lock, restoreNow}, "second keep", "restored", lit},
        {"away", false, {}, "settings", "lights out", dark},
        {"", false, {unlock}, "unlock", "restored", lit},
        {"", false, {lock}, "lock", "lights out", dark},
        {"", false, {off, dimmed, unlock}, "unlock", "restored", lit},
        {"", false, {off}, "display off", "lights out", dark},
        {"", false, {dimmed}, "display on", "sent", lit},
        {"", false, {on, restoreNow}, "second keep", "restored", lit},
    };
    for (const auto& [rule, restart, messages, trigger, what, writes] : steps) {
        SCOPED_TRACE(std::string(trigger) + " " + rule);
        const size_t loaded = run.Count("NvAPI_Initialize");
        if (restart && run.window != nullptr) run.Stop();
        if (!rule.empty()) run.Run("lights-out " + rule);
        if (restart) run.Start();
        for (const auto& [message, wParam] : messages) run.Deliver(message, wParam);
        const Said said = run.Next(rule.empty() && messages.empty() ? 130000 : 20000);
        EXPECT_EQ(Summary(said.text), std::string(trigger) + ": GPU 0 " + what + "; GPU 1 " + what);
        EXPECT_EQ(said.writes, writes);
        EXPECT_EQ(run.Count("NvAPI_Initialize"), loaded + 1);
        // The hours' end, neither before it nor a minute late.
        if (std::string(trigger) != "quiet hours") continue;
        EXPECT_EQ(said.time.substr(11, 5), Minutes(end)) << said.text;
    }
    run.Stop();
    EXPECT_EQ(run.Count("NvAPI_Initialize"), run.Count("NvAPI_UnloadWithArgument"));
}

TEST(KeeperLights, ColourFollowsTheTemperatureAndThePanelsAwayItemReachesTheKeeper) {
    // The GPU on bus 1 at a temperature, the file replaced in one step as the driver may read it
    // (while it has the file open, the replace waits).
    const std::wstring temperatures = WorkPath(L"lights-temperatures.txt");
    const auto setTemperature = [&temperatures](const std::string& celsius) {
        const std::wstring next = temperatures + L".new";
        std::ofstream(next.c_str(), std::ios::binary | std::ios::trunc) << "1 " << celsius << "\n";
        EXPECT_TRUE(WaitUntil([&] {
            return MoveFileExW(next.c_str(), temperatures.c_str(), MOVEFILE_REPLACE_EXISTING);
        }));
    };
    setTemperature("80");
    KeeperRun run(L"lights-temperature", {kDefaultBoards[0], kDefaultBoards[1],
                                          "temperatures " + Utf8FromWide(temperatures)});
    const std::vector<std::string> red = run.Run("apply --mode breathing --color ff0000");
    run.Run("apply --mode breathing --color-by-temperature 0000ff:ff0000 --save");
    run.Start();

    // Each: the temperature, a restore-now or not, then the keeper's next line and writes. A
    // reading that fails keeps the colour, also for a send that every board gets; back within the
    // band, it sends nothing.
    const std::string told = "temperature: GPU 0 (NVIDIA GeForce RTX 3080): the temperature ";
    for (const auto& [celsius, restoreNow, said, writes] :
         std::vector<std::tuple<std::string, bool, std::string, std::vector<std::string>>>{
             {"80", false, "start: GPU 0 restored", red},
             {"-", false, told + "cannot be read; the colour stays until it can", {}},
             {"-", true, "second keep: GPU 0 restored", red},
             {"79", false, told + "can be read again", {}}}) {
        setTemperature(celsius);
        if (restoreNow) run.Deliver(kKeeperRestoreNowMessage, kKeeperRestoreNowRequest);
        const Said next = run.Next();
        EXPECT_EQ(Summary(next.text), said);
        EXPECT_EQ(next.writes, writes);
    }
    // The panel's item (lumivarw.exe beside the panel) adds away to the rule and takes it out
    // again, and the keeper (locked, which under "never" sends nothing) hears of each.
    run.Deliver(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    const auto toggle = [](const OpenPanel& panel) {
        EXPECT_TRUE(panel.window.SystemCommand(0x0111));
        return Rule();
    };
    OpenPanel panel(L"lights-panel", kDefaultBoards,
                    CopiedInto(WorkPath(L"beside"), TestPaths().program, true));
    for (const auto& [rule, said] : std::vector<std::pair<std::string, std::string>>{
             {"away", "settings: GPU 0 lights out"}, {"never", "settings: GPU 0 sent"}}) {
        EXPECT_EQ(toggle(panel), rule);
        EXPECT_EQ(Summary(run.Next().text), said);
    }
    panel.CloseAndExpectExitZero();
    run.Stop();
    EXPECT_EQ(run.Count("NvAPI_Initialize"), run.Count("NvAPI_UnloadWithArgument"));
}

}  // namespace
}  // namespace e2e
