// The panel keeps what it applies where lumivar.exe restores it, and the two programs take the
// boards and the settings file one at a time: the real programs under Wine, on the simulated
// driver, their settings under the work folder.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "core/settings/settings_file.h"
#include "tests/support/wine/cli_runs.h"
#include "tests/support/wine/open_panel.h"
#include "tests/support/wine/wait_until.h"
#include "tests/support/wine/wine_paths.h"

namespace e2e {
namespace {

constexpr const wchar_t* kBoardLock = L"Global\\VOXA LED Lumivar I2C";

// lumivar.exe on a scenario, its stdout and stderr in "<log>.out".
StartOptions LoggedCli(const ScenarioFiles& files, const std::string& arguments) {
    return Cli(arguments, files.log + L".out");
}
DWORD RunLoggedCli(const ScenarioFiles& files, const std::string& arguments) {
    return RunToEnd(files, LoggedCli(files, arguments));
}

size_t Writes(const DriverLogWatch& log) {
    return WrittenData(log.TransfersSinceMark()).size();
}

// Another program (other_program.cpp) with these arguments, ended by force if left running.
StartOptions OtherProgram(const std::wstring& arguments) {
    return {WindowsPathFromArgument(WideFromUtf8(LUMIVAR_OTHER_PROGRAM)), L"", false,
            L" " + arguments};
}

// Whether some program has the file open: an open that shares nothing is refused then.
bool OpenElsewhere(const std::wstring& path) {
    const HANDLE probe =
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(probe);
    return false;
}

TEST(Saving, ARestoreSendsWhatThePanelAppliedUntilAResetAndABrokenFileIsLeftAlone) {
    const std::wstring& settings = TestPaths().settings;
    DeleteFileW(settings.c_str());
    OpenPanel panel(L"saving", {kDefaultBoards[0], kDefaultBoards[1], "i2c-write-fail 7"});
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    const auto restored = [&] {
        DriverLogWatch watch(panel.files);
        EXPECT_EQ(RunLoggedCli(panel.files, "restore"), 0u);
        return WrittenData(watch.TransfersSinceMark());
    };
    // clang-format off
    const std::pair<int, ControlSetting> applies[] = {
        {0, {1, 1, 2, 3, 0, 20, L"12", L"34", L"56"}},  // FLASH cycling, LED OFF
        {1, {2, 0, 0, 2, 0, 33, L"1", L"2", L"300"}},   // WAVE (handed on as 4), LED OFF
        {0, {3, 0, 0, 1, 1, 87, L"255", L"0", L"7"}},   // WAVE forces Cycle
        {1, {4, 0, 2, 1, 1, 0, L"53", L"3", L"1"}},     // COLOR CYCLE
        {0, {0, 0, 1, 0, 1, 50, L"9", L"9", L"9"}},     // the seventh write fails: nothing saved
    };
    // clang-format on
    std::vector<std::string> last[2];  // what each board was last sent whole
    for (const auto& [slot, controls] : applies) {
        window.Select(kGpuListId, slot);
        window.Set(controls);
        const std::vector<Transfer> sent = panel.Press(kApplyButtonId, slot + 1u);
        if (sent.back().status == 0) last[slot] = WrittenData(sent);
        EXPECT_EQ(restored(), Joined(last[0], last[1])) << "after an Apply on slot " << slot;
    }
    window.Select(kGpuListId, 1);
    window.Click(kResetButtonId);
    EXPECT_EQ(restored(), last[0]) << "the Reset board's entry is gone";

    // A file the programs cannot read: Apply sends, the file stays, the user is told once.
    std::ofstream(Utf8FromWide(settings), std::ios::binary) << "{\"boards\": [";
    window.Select(kGpuListId, 0);
    for (const DWORD wait : {10000, 3000}) {
        DriverLogWatch watch(panel.files);
        window.PostClick(kApplyButtonId);
        EXPECT_EQ(WrittenData(watch.WaitForWrites(1)).size(), 1u);
        const std::wstring told = panel.process.TakeMessage(wait);
        EXPECT_EQ(told.find(settings) != std::wstring::npos, wait == 10000) << Utf8FromWide(told);
    }
    EXPECT_EQ(ReadWhole(settings), "{\"boards\": [");
    panel.CloseAndExpectExitZero();
}

TEST(Locks, HeldPastTheBoundNothingIsSentAndAbandonedItIsTaken) {
    OpenPanel panel(L"locks");
    const PanelWindow& window = panel.window;
    ASSERT_NE(window.Main(), nullptr);
    window.Select(kGpuListId, 1);
    const ScenarioFiles cli = WriteScenario(L"locks-cli", kDefaultBoards);
    DriverLogWatch panelLog(panel.files), cliLog(cli);

    // Held by this program: neither sends, each names the lock.
    const HANDLE held = CreateMutexW(nullptr, TRUE, kBoardLock);
    window.PostClick(kApplyButtonId);
    EXPECT_EQ(RunLoggedCli(cli, "apply --gpu 1"), 3u);
    EXPECT_NE(ReadWhole(cli.log + L".out").find(Utf8FromWide(kBoardLock)), std::string::npos);
    EXPECT_NE(panel.process.TakeMessage(15000).find(kBoardLock), std::wstring::npos);
    EXPECT_EQ(Writes(panelLog) + Writes(cliLog), 0u);
    ReleaseMutex(held);
    CloseHandle(held);

    // Abandoned by a thread that ended holding it: taken, and both blocks sent 500 ms apart.
    HANDLE abandoned = nullptr;
    std::thread([&] { abandoned = CreateMutexW(nullptr, TRUE, kBoardLock); }).join();
    EXPECT_EQ(RunLoggedCli(cli, "apply --gpu 1"), 0u);
    const std::vector<Transfer> sent = cliLog.WaitForWrites(2);
    EXPECT_EQ(WrittenData(sent).size(), 2u);
    EXPECT_GE(sent.back().t - sent.at(1).t, 450);
    CloseHandle(abandoned);

    // The panel's Apply while lumivar pauses between its two blocks waits for the second. Each
    // look reads the panel's log first: a panel block seen before that second is interleaved.
    cliLog.Mark();
    ProgramProcess concurrent(cli, LoggedCli(cli, "apply --gpu 1 --mode wave"));
    EXPECT_TRUE(WaitUntil([&] { return Writes(cliLog) > 0; }, 20000));
    window.PostClick(kApplyButtonId);
    bool interleaved = false;
    EXPECT_TRUE(WaitUntil(
        [&] {
            const size_t panelWrites = Writes(panelLog);
            interleaved = interleaved || (panelWrites > 0 && Writes(cliLog) < 2);
            return panelWrites == 2;
        },
        20000));
    EXPECT_FALSE(interleaved);
    EXPECT_EQ(concurrent.WaitForExit(60000), 0u);
    panel.CloseAndExpectExitZero();
}

// Two family-3000 boards, so that both programs save at nearly the same moment.
TEST(Locks, TwentyPairsOfConcurrentSavesKeepBothBoards) {
    const std::wstring& settings = TestPaths().settings;
    const std::vector<std::string> boards = {
        kDefaultBoards[0], "gpu bus=3 pci=220610de name=\"NVIDIA GeForce RTX 3080\""};
    const ScenarioFiles one = WriteScenario(L"save-one", boards),
                        other = WriteScenario(L"save-other", boards);
    // Other work on every processor, so that the two programs' steps interleave in many ways.
    ProgramProcess burner(one, OtherProgram(L"burn 120000"));
    for (int pair = 0; pair < 20; ++pair) {
        DeleteFileW(settings.c_str());
        ProgramProcess runs[] = {
            ProgramProcess(one, LoggedCli(one, "apply --gpu 0 --save")),
            ProgramProcess(other, LoggedCli(other, "apply --gpu 1 --save --mode wave"))};
        for (ProgramProcess& run : runs) EXPECT_EQ(run.WaitForExit(60000), 0u);
        SavedSettings saved;
        std::string error;
        EXPECT_TRUE(ParseSettings(ReadWhole(settings), saved, error)) << error;
        EXPECT_EQ(saved.boards.size(), 2u) << "pair " << pair;
    }
}

// Virus scanners, indexers and sync tools open a freshly written file for a moment. A save waits
// for such a hold, sharing nothing (met by the reads) or sharing reading (met by the replace);
// past the wait (a hold that lasts until the test ends it) the file is left as it was, and lumivar
// says it is in use.
TEST(Locks, ASaveWaitsForAFileAnotherProgramHoldsAndPastTheWaitLeavesItAlone) {
    const std::wstring& settings = TestPaths().settings;
    const ScenarioFiles cli = WriteScenario(L"held", kDefaultBoards);
    struct Case {
        std::wstring share;
        int heldMs;
        DWORD code;
        std::string says;
    };
    const std::string inUse = Utf8FromWide(settings) + " is in use by another program (";
    const Case cases[] = {
        {L"none", 1500, 0, "; saved"},
        {L"read", 1500, 0, "; saved"},
        {L"none", 60000, 4, inUse + "Sharing violation (error 32)); tried for 5 s"},
        {L"read", 60000, 4, inUse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8FromWide(c.share) + " " + std::to_string(c.heldMs));
        DeleteFileW(settings.c_str());
        ASSERT_EQ(RunLoggedCli(cli, "apply --gpu 0 --save"), 0u);
        const std::string before = ReadWhole(settings);
        DriverLogWatch log(cli);
        {
            ProgramProcess holder(cli, OtherProgram(L"hold \"" + settings + L"\" " + c.share +
                                                    L" " + std::to_wstring(c.heldMs)));
            EXPECT_TRUE(WaitUntil([&] { return OpenElsewhere(settings); }, 30000))
                << "the holder's exit code " << holder.WaitForExit(0);
            EXPECT_EQ(RunLoggedCli(cli, "apply --gpu 1 --save"), c.code);
        }
        const std::string said = ReadWhole(cli.log + L".out");
        EXPECT_NE(said.find(c.says), std::string::npos) << said;
        // Refused before sending when the first read gives up; sent, not saved, when the replace.
        EXPECT_EQ(Writes(log), c.code == 0 || c.share == L"read" ? 2u : 0u);
        SavedSettings saved;
        std::string error;
        EXPECT_TRUE(ParseSettings(ReadWhole(settings), saved, error)) << error;
        EXPECT_EQ(saved.boards.size(), c.code == 0 ? 2u : 1u);
        EXPECT_TRUE(c.code == 0 || ReadWhole(settings) == before);
        WIN32_FIND_DATAW found = {};
        const HANDLE left = FindFirstFileW((settings + L".*.new").c_str(), &found);
        EXPECT_EQ(left, INVALID_HANDLE_VALUE) << Utf8FromWide(found.cFileName);
        if (left != INVALID_HANDLE_VALUE) FindClose(left);
    }
    // The panel past the wait: its message says so, and the file stays as it was.
    OpenPanel panel(L"held-panel");
    ASSERT_NE(panel.window.Main(), nullptr);
    const std::string before = ReadWhole(settings);
    std::wstring told;
    {
        ProgramProcess holder(cli, OtherProgram(L"hold \"" + settings + L"\" none 60000"));
        EXPECT_TRUE(WaitUntil([&] { return OpenElsewhere(settings); }, 30000))
            << "the holder's exit code " << holder.WaitForExit(0);
        panel.window.PostClick(kApplyButtonId);
        told = panel.process.TakeMessage(15000);
    }
    EXPECT_NE(told.find(L"ほかのプログラムに使用されている"), std::wstring::npos)
        << Utf8FromWide(told);
    EXPECT_NE(told.find(settings + L" is in use by another program"), std::wstring::npos);
    EXPECT_EQ(ReadWhole(settings), before);
    panel.CloseAndExpectExitZero();
}

}  // namespace
}  // namespace e2e
