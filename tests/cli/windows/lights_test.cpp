// The keeper's lighting that follows the machine, under Wine on the simulated driver: the lock,
// the display, the quiet hours, a GPU's temperature and the panel's item that adds away to the
// rule. Wine tells no window of locks or of the display, so the tests send those messages as the
// system would.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <regex>

#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/utf8_text.h"
#include "tests/support/wine/cli_runs.h"
#include "tests/support/wine/driver_log.h"
#include "tests/support/wine/open_panel.h"
#include "tests/support/wine/program_process.h"
#include "tests/support/wine/test_paths.h"
#include "tests/support/wine/wait_until.h"

namespace e2e {
namespace {

const std::wstring kKeeperLog = WorkPath(L"lights-local\\VOXA\\LED Lumivar\\keeper.log");
const std::wstring kSettings = WorkPath(L"lights-appdata\\VOXA\\LED Lumivar\\settings.json");
// GUID_CONSOLE_DISPLAY_STATE, whose data is 0 off, 1 on, 2 dimmed.
constexpr GUID kConsoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
// Not a message: the display's state (wParam) sent as the system sends it.
constexpr UINT kDisplay = 0;

// One line of the keeper's log: its time, what it said, the driver's writes since the line before.
struct Said {
    std::string time, text;
    std::vector<std::string> writes;
};

// A keeper on a scenario, with the settings and log of this test program's own.
class KeeperRun {
  public:
    explicit KeeperRun(const std::wstring& name, const std::vector<std::string>& scenario)
        : files(WriteScenario(name, scenario)), watch_(files) {
        SetEnvironmentVariableW(L"APPDATA", WorkPath(L"lights-appdata").c_str());
        SetEnvironmentVariableW(L"LOCALAPPDATA", WorkPath(L"lights-local").c_str());
        DeleteFileW(kSettings.c_str());
        DeleteFileW(kKeeperLog.c_str());
    }
    ~KeeperRun() {
        if (keeper_) Stop();
    }
    // What one lumivar.exe run sent.
    std::vector<std::string> Run(const std::string& arguments) {
        watch_.Mark();
        EXPECT_EQ(
            FinishCli(StartCli(files, arguments, WorkPath(L"lights.out"), WorkPath(L"lights.out"))),
            0u)
            << arguments;
        const std::vector<std::string> sent = WrittenData(watch_.TransfersSinceMark());
        // A running keeper's sends are the next line's.
        if (!keeper_) watch_.Mark();
        return sent;
    }
    void Start() {
        keeper_.emplace(files, StartOptions{TestPaths().keeper, L"", false, L" keep"});
        EXPECT_TRUE(WaitUntil([] { return RunningKeeper() != nullptr; }));
        window = RunningKeeper();
    }
    void Stop() {
        EXPECT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
        EXPECT_EQ(keeper_->WaitForExit(), 0u);
        keeper_.reset();
    }
    void Deliver(UINT message, WPARAM wParam) {
        if (message != kDisplay) {
            EXPECT_TRUE(PostMessageW(window, message, wParam, 0));
            return;
        }
        const struct {
            GUID setting;
            DWORD length, data;
        } display = {kConsoleDisplayState, sizeof(DWORD), static_cast<DWORD>(wParam)};
        EXPECT_EQ(SendWithData(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, &display,
                               sizeof display),
                  TRUE);
    }
    // The log's next line once it is written (empty after the timeout).
    Said Next(DWORD timeoutMs = 20000) {
        std::string log;
        size_t end = std::string::npos;
        WaitUntil(
            [&] {
                log = ReadWhole(kKeeperLog);
                return (end = log.find("\r\n", read_)) != std::string::npos;
            },
            timeoutMs);
        if (end == std::string::npos || end < read_ + 20) return {};
        Said said{log.substr(read_, 19), log.substr(read_ + 20, end - read_ - 20),
                  WrittenData(watch_.TransfersSinceMark())};
        read_ = end + 2;
        watch_.Mark();
        return said;
    }
    size_t Count(const char* call) const {
        const std::vector<std::string> calls = CallNames(files);
        return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
    }

    ScenarioFiles files;
    HWND window = nullptr;

  private:
    DriverLogWatch watch_;
    std::optional<ProgramProcess> keeper_;
    size_t read_ = 0;  // of the keeper's log
};

// "lock: GPU 0 lights out; GPU 1 lights out": what each board was sent, without its lighting.
std::string Summary(const std::string& text) {
    static const std::regex board(R"( \([^)]*\): (restored|sent|lights out)[^;]*)");
    return std::regex_replace(text, board, " $1");
}

std::string Rule() {
    const Json settings = Json::parse(ReadWhole(kSettings), nullptr, false);
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
        std::vector<std::string> sent = run.Run(std::string("apply ") + board + " --save");
        lit.insert(lit.end(), sent.begin(), sent.end());
        sent = run.Run(std::string("apply ") + board + " --off");
        dark.insert(dark.end(), sent.begin(), sent.end());
    }
    ASSERT_FALSE(lit.empty());
    ASSERT_NE(lit, dark);

    // Quiet hours that end at the next minute, or the one after when this one is nearly over:
    // enough time for a start and a resume inside them.
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int end = now.wHour * 60 + now.wMinute + (now.wSecond < 45 ? 1 : 2);
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
    const auto setTemperature = [&temperatures](int celsius) {
        const std::wstring next = temperatures + L".new";
        std::ofstream(next.c_str(), std::ios::binary | std::ios::trunc) << "1 " << celsius << "\n";
        EXPECT_TRUE(WaitUntil([&] {
            return MoveFileExW(next.c_str(), temperatures.c_str(), MOVEFILE_REPLACE_EXISTING);
        }));
    };
    setTemperature(40);
    KeeperRun run(L"lights-temperature", {kDefaultBoards[0], kDefaultBoards[1],
                                          "temperatures " + Utf8FromWide(temperatures)});
    std::map<std::string, std::vector<std::string>> bytes;
    for (const char* colour : {"0000ff", "ff0000", "800080"}) {
        bytes[colour] = run.Run(std::string("apply --mode breathing --color ") + colour);
    }
    run.Run("apply --mode breathing --color-by-temperature 0000ff:ff0000 --save");
    run.Start();

    // Each: the temperature, then the keeper's next line and writes, in the colour of it. A move
    // within the noise sends nothing: once the keeper has looked twice, a restore-now is the next
    // line, and keeps the colour.
    const struct {
        int celsius;
        const char* said;
        const char* colour;
    } steps[] = {
        {40, "start: GPU 0 restored", "0000ff"},
        {80, "temperature: GPU 0 sent", "ff0000"},
        {60, "temperature: GPU 0 sent", "800080"},
        {61, "second keep: GPU 0 restored", "800080"},
    };
    for (const auto& [celsius, said, colour] : steps) {
        SCOPED_TRACE(celsius);
        setTemperature(celsius);
        if (std::string(said).rfind("second keep", 0) == 0) {
            const size_t looked = run.Count("NvAPI_GPU_GetThermalSettings");
            EXPECT_TRUE(WaitUntil(
                [&] { return run.Count("NvAPI_GPU_GetThermalSettings") >= looked + 2; }, 20000));
            run.Deliver(kKeeperRestoreNowMessage, kKeeperRestoreNowRequest);
        }
        const Said next = run.Next();
        EXPECT_EQ(Summary(next.text), said);
        EXPECT_NE(next.text.find(std::string("colour ") + colour), std::string::npos) << next.text;
        EXPECT_EQ(next.writes, bytes[colour]);
    }

    // The panel's item: without lumivarw.exe beside the panel it changes nothing; with it, it
    // adds away to the rule and takes it out again, and the keeper (locked, which under "never"
    // sends nothing) hears of each.
    run.Deliver(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    const auto panelIn = [](const wchar_t* name, bool keeperBeside) {
        const std::wstring folder = WorkPath(name);
        CreateDirectoryW(folder.c_str(), nullptr);
        CopyFileW(TestPaths().program.c_str(), (folder + L"\\LEDLumivar.exe").c_str(), FALSE);
        const std::wstring keeper = folder + L"\\lumivarw.exe";
        keeperBeside ? CopyFileW(TestPaths().keeper.c_str(), keeper.c_str(), FALSE)
                     : DeleteFileW(keeper.c_str());
        return StartOptions{folder + L"\\LEDLumivar.exe", L"", false, L""};
    };
    const auto toggle = [](const OpenPanel& panel) {
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeoutW(panel.window.Main(), WM_SYSCOMMAND, 0x0111, 0, SMTO_NORMAL,
                                      30000, &result),
                  0);
        return Rule();
    };
    {
        OpenPanel alone(L"lights-panel", kDefaultBoards, panelIn(L"lights-alone", false));
        EXPECT_EQ(toggle(alone), "never");
        alone.CloseAndExpectExitZero();
    }
    OpenPanel panel(L"lights-panel", kDefaultBoards, panelIn(L"lights-beside", true));
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
