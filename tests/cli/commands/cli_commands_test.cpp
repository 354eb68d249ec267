// lumivar's commands on the simulated driver in-process, with a host that keeps the settings file
// in memory and a clock that moves only when the command sleeps; the logon command over an entry
// in memory.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

#include "cli/commands/board_commands.h"
#include "cli/commands/keeper_send.h"
#include "cli/commands/logon_command.h"
#include "core/settings/settings_store.h"
#include "simdriver/scenario.h"
#include "tests/support/in_process/in_process_driver.h"

namespace {

// Free unless a test takes it.
class FakeLock : public InterProcessLock {
  public:
    bool Acquire(std::string& error) override {
        error = "taken";
        return !taken;
    }
    void Release() override {}
    bool taken = false;
};

class FakeHost : public CliHost, public SettingsStore {
  public:
    nvapi::NvApiAccess& Driver() override { return access; }
    void Print(const std::string& line) override { out += line + "\n"; }
    void PrintError(const std::string& line) override { err += line + "\n"; }
    SettingsStore& Settings() override { return *this; }
    InterProcessLock& BoardLock() override { return boardLock; }
    std::string FileName() override { return "settings.json"; }
    FileRead Read(std::string& text, std::string&) override {
        if (file) text = *file;
        return file ? FileRead::kRead : FileRead::kAbsent;
    }
    bool Write(const std::string& text, std::string&) override {
        file = text;
        return true;
    }
    InterProcessLock& UpdateLock() override { return settingsLock; }
    void Sleep(unsigned milliseconds) override { now += milliseconds; }
    uint64_t Milliseconds() override { return now; }
    bool Stopping() override { return false; }
    // No fake clock, nor a scenario of the test's, left behind.
    ~FakeHost() {
        simdriver::SetProcessAgeSource([] { return INT64_MAX; });
        simdriver::Configure(simdriver::DefaultScenario());
    }

    InProcessDriver driver;
    nvapi::NvApiAccess access{driver};
    std::string out, err;
    std::optional<std::string> file;
    FakeLock boardLock, settingsLock;
    // Not 0, so that a clock read as an absolute time, not a difference, shows.
    static constexpr uint64_t kStart = 1000000;
    uint64_t now = kStart;
};

int RunCommand(FakeHost& host, const std::string& scenario, const std::string& line) {
    simdriver::Scenario parsed;
    std::string problem;
    EXPECT_TRUE(simdriver::ParseScenario(scenario, parsed, problem)) << problem;
    simdriver::Configure(parsed);
    simdriver::SetProcessAgeSource([&host] { return int64_t(host.now - FakeHost::kStart); });
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    const ParsedCommandLine parsedLine = ParseCommandLine(words);
    EXPECT_TRUE(parsedLine.ok) << parsedLine.error;
    return RunBoardCommand(parsedLine.invocation, host);
}

// The writes that reached a board, and all their bytes: "a2 01 01 ... a0 fc ...".
std::pair<int, std::string> Written() {
    std::string bytes;
    for (const std::string& write : DriverWrites()) bytes += (bytes.empty() ? "" : " ") + write;
    return {static_cast<int>(DriverWrites().size()), bytes};
}

// A family-3000 block from the nine bytes after a2; the colour and interval code follow 8 times.
std::string Block3000(const std::string& head) {
    std::string block = "a2 " + head;
    for (int i = 0; i < 8; ++i) block += " " + head.substr(9, 9) + head.substr(21, 2);
    return block;
}

TEST(CliCommands, ListApplyResetRestoreAndTheirExitCodes) {
    const std::string boards =
        "gpu bus=1 pci=220610de name=\"RTX 3080\"\ngpu bus=2 pci=1e8110de name=\"RTX 2080\"\n";
    // Names as UTF-8, a character cut at the slot's 39 bytes dropped; or as Latin-1.
    const std::string three = boards + "gpu bus=3 pci=1b8010de name=\"GTX Éclair°\"\n" +
                              "gpu bus=4 pci=1 name=\"日本 xÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ\"\n" +
                              "gpu bus=5 pci=1 name=\"caf\\xe9s \\xb0\"\n" +
                              "gpu bus=6 pci=1 name=\"\\xf0\\x9f\\x8e\\xa8\"\n" +
                              "gpu bus=7 pci=1 name=\"\\xf5\\x80\\x80\\x80\"\n";
    struct Case {
        std::string scenario, line;
        int code;
        std::string says;  // on stdout for 0, on stderr otherwise
        int writes;
        std::string bytes = "";              // when given: what was written
        FakeLock FakeHost::*held = nullptr;  // taken by another program
    };
    const Case cases[] = {
        // The options set the panel's controls, a freshly started panel's where left out; then
        // the panel's rules: WAVE forces Cycle (the shade still goes out), STATIC forces Single,
        // FLASH lets the user choose; on family 2000 WAVE and COLOR CYCLE trade wire codes, and
        // cycle, interval and brightness reach no block.
        {boards, "apply", 0,
         "static, colour ffffff, shade 50, LED on, single, interval medium, brightness 100%", 1,
         Block3000("01 01 00 80 80 80 00 02 03")},
        {boards, "apply --mode WAVE --shade 100", 0,
         "wave, colour ffffff, shade 100, LED on, cycle, interval medium, brightness 100%", 1,
         Block3000("01 01 04 00 00 00 01 02 03")},
        {boards,
         "apply --mode static --cycle --off --shade 0 --color 0c2238 --interval short "
         "--brightness 25",
         0, "static, colour 0c2238, shade 0, LED off, single, interval short, brightness 25%", 1,
         Block3000("01 00 00 0c 22 38 00 03 00")},
        {boards, "apply --mode flash --cycle --interval LONG --brightness 75", 0,
         "flash, colour ffffff, shade 50, LED on, cycle, interval long, brightness 75%", 1,
         Block3000("01 01 01 80 80 80 01 00 02")},
        {boards, "apply --gpu 1 --mode color-cycle --off --color 350301 --cycle --interval long", 0,
         "color-cycle, colour 350301, shade 50, LED off", 2,
         "a0 fc 00 1a 02 01 00 04 a0 00 02 1a 02 01 00 04"},
        {boards, "apply --gpu 1 --mode Wave --shade 0 --brightness 25", 0,
         "wave, colour ffffff, shade 0, LED on", 2,
         "a0 00 04 ff ff ff 00 04 a0 fc 01 ff ff ff 00 04"},
        {three, "list", 0,
         "0 1 220610de 3000 RTX 3080\n1 2 1e8110de 2000 RTX 2080\n2 3 1b8010de unsupported GTX "
         "Éclair°\n3 4 00000001 unsupported 日本 xÉÉÉÉÉÉÉÉÉÉÉÉÉÉÉ\n4 5 00000001 unsupported cafés "
         "°\n5 6 00000001 unsupported 🎨\n6 7 00000001 unsupported "
         "\xc3\xb5\xc2\x80\xc2\x80\xc2\x80\n",
         0},
        {three, "apply --gpu all", 0, "GPU 2 (GTX Éclair°): skipped, not a supported board", 3},
        {three, "apply --gpu 1 --mode flash", 1, "modes are static, strobing, wave, breathing", 0},
        {three, "apply --gpu 17", 2, "there is no GPU 17", 0},
        {three, "reset --gpu 2", 2, "GPU 2 (GTX Éclair°) is not a supported board", 0},
        {boards + "initialize-status -6", "apply", 3, "initialised (status -6)", 0},
        {"enum-status -1", "list", 3, "lists no GPU", 0},
        // One board's failure does not stop the others; the worst code wins.
        {boards + "i2c-write-fail 1 -5", "reset --gpu all", 3, "transfer failed (status -5)", 2},
        {boards, "restore", 0, "nothing is saved yet", 0},
        // A driver that is ready 3 s after the start; one that never is, given up after 2 s.
        {boards + "not-ready-for 3000", "restore --wait 30", 0, "restored", 1},
        {boards + "not-ready-for 9999", "restore --wait 2", 3,
         "gave up after 2 s: the driver could not be initialised (status -6)", 0},
        // Another program holds the boards: nothing is sent. Holds the settings: sent, not saved.
        {boards, "apply --gpu all --save", 3, "nothing sent: taken", 0, "", &FakeHost::boardLock},
        {boards, "apply --gpu all --save", 4, "cannot save the settings: taken", 3, "",
         &FakeHost::settingsLock},
    };
    for (const Case& c : cases) {
        FakeHost host;
        const bool saved = c.line.rfind("restore", 0) == 0 && c.says != "nothing is saved yet";
        ASSERT_EQ(saved ? RunCommand(host, boards, "apply --gpu 0 --mode wave --save") : 0, 0);
        if (c.held) (host.*c.held).taken = true;
        host.now = FakeHost::kStart;
        EXPECT_EQ(RunCommand(host, c.scenario, c.line), c.code) << c.line;
        EXPECT_NE((c.code == 0 ? host.out : host.err).find(c.says), std::string::npos)
            << c.line << ": " << host.out << host.err;
        const auto [writes, bytes] = Written();
        EXPECT_EQ(writes, c.writes) << c.line;
        EXPECT_TRUE(c.bytes.empty() || bytes == c.bytes) << c.line << ": " << bytes;
        EXPECT_EQ(host.driver.loads.load(), host.driver.frees.load()) << c.line << ": unloaded";
        EXPECT_EQ(host.file.has_value(), saved) << c.line;
        // A wait given up ends on its time, not at a retry after it.
        EXPECT_TRUE(c.line != "restore --wait 2" || host.now == FakeHost::kStart + 2000);
    }
}

// The keeper's waits on the host's clock, told to end once it reaches `at` after the start.
struct StopAfter : KeeperWaits {
    StopAfter(FakeHost& fakeHost, uint64_t at) : host(fakeHost), stopAt(FakeHost::kStart + at) {}
    void Sleep(unsigned milliseconds) override { host.Sleep(milliseconds); }
    bool Stopping() const override { return host.now >= stopAt; }
    FakeHost& host;
    uint64_t stopAt;
};

// A keeper told to end during its restore: a wait for the driver gives up at once; a pair of
// blocks under way still goes out whole, and no further board is begun. Its lines are kept for
// the log, not printed.
TEST(KeeperSend, AStopEndsTheDriverWaitAndBeginsNoFurtherBoardButFinishesAPair) {
    const std::string boards =
        "gpu bus=1 pci=1e8110de name=\"RTX 2080\"\ngpu bus=2 pci=220610de name=\"RTX 3080\"\n";
    const struct {
        std::string scenario;
        uint64_t stopAt;
        int code, writes;
        std::string says;
    } cases[] = {
        {boards + "not-ready-for 9999", 1500, 3, 0, "stopped waiting, the keeper is ending"},
        {boards, 1, 3, 2, "GPU 1 (RTX 3080): not sent, the keeper is ending"},
        {boards, 600, 0, 3, "GPU 1 (RTX 3080): restored"},
    };
    for (const auto& c : cases) {
        FakeHost host;
        ASSERT_EQ(RunCommand(host, boards, "apply --gpu all --save"), 0);
        host.now = FakeHost::kStart;
        host.out.clear();
        RunCommand(host, c.scenario, "list");
        StopAfter waits(host, c.stopAt);
        KeeperSender sender(host, waits);
        const SendOutcome outcome = sender.Send({});
        EXPECT_EQ(outcome.exitCode, c.code) << c.stopAt;
        EXPECT_EQ(Written().first, c.writes) << c.stopAt;
        std::string said;
        for (const std::string& line : outcome.printed) said += line + "\n";
        EXPECT_NE(said.find(c.says), std::string::npos) << said;
        EXPECT_LT(host.now, FakeHost::kStart + 2100) << c.stopAt;
        EXPECT_EQ(host.out.find("restored"), std::string::npos) << "kept, not printed";
    }
}

// What the keeper sends: every saved board, only those, as `apply` would with --off while the
// lights are out; a colour that follows its GPU's temperature; nothing when nothing changed; a
// temperature that cannot be read said once.
TEST(KeeperSend, WhatTheRulesWantAsApplySendsItAndNothingMore) {
    const std::string temperatures = ::testing::TempDir() + "keeper-send-temperatures";
    const std::string boards =
        "gpu bus=1 pci=220610de name=\"A\"\ngpu bus=2 pci=1e8110de name=\"B\" temperature=60\n"
        "gpu bus=3 pci=220610de name=\"C\"\ntemperatures " +
        temperatures + "\n";
    std::remove(temperatures.c_str());
    FakeHost host;
    ASSERT_EQ(RunCommand(host, boards, "apply --gpu 0 --mode wave --color 102030 --save"), 0);
    ASSERT_EQ(RunCommand(host, boards, "apply --gpu 1 --color-by-temperature 0000ff:ff0000 --save"),
              0);
    std::string error;
    UpdateSettings(
        host,
        [](SavedSettings& s) {
            s.lightsOut = {false, DailyHours{23 * 60, 7 * 60}};
        },
        error);
    // What `apply` sends for these command lines, one after the other.
    const auto applied = [&boards](std::vector<std::string> lines) {
        std::string bytes;
        for (const std::string& line : lines) {
            FakeHost reference;
            EXPECT_EQ(RunCommand(reference, boards, line), 0) << line;
            bytes += Written().second + " ";
        }
        return bytes;
    };
    const std::string lit =
        applied({"apply --gpu 0 --mode wave --color 102030", "apply --gpu 1 --color 800080"});
    const std::string dark = applied(
        {"apply --gpu 0 --mode wave --color 102030 --off", "apply --gpu 1 --color 800080 --off"});
    StopAfter waits(host, UINT64_MAX / 2);  // a driver that never comes up is given up
    KeeperSender sender(host, waits);
    const int noon = 12 * 3600, night = 23 * 3600 + 60;
    const struct {
        Trigger trigger;
        bool everyBoard;
        int second;
        std::string temperature;  // the file's line for bus 2, or nothing
        std::string bytes, said;
        bool following;
    } sends[] = {
        {Trigger::kStart, true, noon, "", lit,
         "GPU 0 (A): restored wave, colour 102030, shade 50, LED on, cycle, interval medium, "
         "brightness 100%|GPU 1 (B): restored static, colour 800080, shade 50, LED on (the colour "
         "of 60 °C)|",
         true},
        {Trigger::kSettings, false, noon, "", "", "", true},
        {Trigger::kQuietHours, false, night, "", dark, "GPU 0 (A): lights out, wave", false},
        {Trigger::kResume, true, night, "", dark, "GPU 1 (B): lights out, static", false},
        {Trigger::kTemperature, false, noon, "2 -",
         applied({"apply --gpu 0 --mode wave --color 102030", "apply --gpu 1 --color 0000ff"}),
         "GPU 1 (B): the temperature cannot be read; the first colour until it can|", true},
        {Trigger::kTemperature, false, noon, "2 -", "", "", true},
        {Trigger::kTemperature, false, noon, "2 61", applied({"apply --gpu 1 --color 860079"}),
         "(the colour of 61 °C)", true},
    };
    for (const auto& send : sends) {
        std::ofstream(temperatures) << send.temperature << "\n";
        RunCommand(host, boards, "list");  // the boards as they were, the call log emptied
        const SendOutcome outcome =
            sender.Send({send.trigger, send.everyBoard, {false, send.second}});
        std::string said;
        for (const std::string& line : outcome.printed) said += line + "|";
        EXPECT_EQ(outcome.exitCode, 0) << said;
        EXPECT_EQ(Written().second + (Written().first ? " " : ""), send.bytes)
            << TriggerName(send.trigger);
        EXPECT_NE(said.find(send.said), std::string::npos) << said;
        EXPECT_EQ(said.find("GPU 2"), std::string::npos) << "never touched: nothing saved for it";
        EXPECT_EQ(outcome.following, send.following) << TriggerName(send.trigger);
        EXPECT_EQ(outcome.rule, (LightsOutRule{false, DailyHours{23 * 60, 7 * 60}}));
    }
    // Looked at between sends: noise of a degree is no change; two are.
    for (const auto& [line, moved] : std::vector<std::pair<std::string, bool>>{
             {"2 62", false}, {"2 60", false}, {"2 59", true}}) {
        std::ofstream(temperatures) << line << "\n";
        EXPECT_EQ(sender.FollowedTemperaturesMoved({false, noon}), moved) << line;
    }
    // Saved off, a board shows no temperature: its moves are no change.
    sender.StopFollowing();
    ASSERT_EQ(
        RunCommand(host, boards, "apply --gpu 1 --color-by-temperature 0000ff:ff0000 --off --save"),
        0);
    EXPECT_EQ(sender.Send({Trigger::kSettings, false, {false, noon}}).printed.size(), 1u);
    std::ofstream(temperatures) << "2 80\n";
    EXPECT_FALSE(sender.FollowedTemperaturesMoved({false, noon}));
    // Entries removed and saved again as they were: their boards may show anything since.
    sender.StopFollowing();
    SavedSettings before;
    const auto swap = [&before](SavedSettings& s) { std::swap(before, s); };
    for (const size_t boardsSent : {0u, 2u}) {
        UpdateSettings(host, swap, error);
        RunCommand(host, boards, "list");
        EXPECT_EQ(sender.Send({Trigger::kSettings, false, {false, noon}}).printed.size(),
                  boardsSent);
    }
    sender.StopFollowing();
    EXPECT_EQ(host.driver.loads.load(), host.driver.frees.load()) << "the driver let go";
    std::remove(temperatures.c_str());
}

// An entry in memory, each of whose operations can fail, and whose keeper may be missing.
class FakeLogonEntry : public LogonEntry {
  public:
    std::string Where() override { return "the entry"; }
    std::optional<std::string> KeeperMissing() override {
        return fails == "keeper" ? std::optional<std::string>("no keeper here") : std::nullopt;
    }
    FileRead Read(std::string& error) override {
        error = "cannot read";
        return fails == "read" ? FileRead::kFailed : present ? FileRead::kRead : FileRead::kAbsent;
    }
    bool Write(std::string& command, std::string& error) override {
        command = "keeper keep";
        error = "cannot write";
        present = present || fails != "write";
        return fails != "write";
    }
    bool Remove(std::string& error) override {
        error = "cannot remove";
        present = present && fails == "remove";
        return fails != "remove";
    }
    void StartKeeper() override { keeper += "started "; }
    void EndKeeper() override { keeper += "ended "; }

    bool present = false;
    std::string fails, keeper;
};

TEST(LogonCommand, SameWordsAndCodesOverAnyEntryAndTheKeeperStartedAndEnded) {
    const struct {
        const char* action;
        bool present;
        std::string fails;
        int code;
        std::string says, keeper;
        bool presentAfter;
    } cases[] = {
        // clang-format off
        {"enable", false, "", 0, "enabled: keeper keep\n", "started ", true},
        {"enable", false, "write", 5, "lumivar: cannot write the logon entry (the entry): cannot write\n", "", false},
        {"enable", false, "keeper", 5, "lumivar: no keeper here\n", "", false},
        {"disable", true, "", 0, "disabled\n", "ended ", false},
        {"disable", true, "remove", 5, "lumivar: cannot remove the logon entry (the entry): cannot remove\n", "", true},
        {"status", true, "", 0, "enabled\n", "", true}, {"status", false, "", 0, "disabled\n", "", false},
        {"status", true, "read", 5, "lumivar: cannot read the logon entry (the entry): cannot read\n", "", true},
        // clang-format on
    };
    for (const auto& c : cases) {
        FakeHost host;
        FakeLogonEntry entry;
        entry.present = c.present;
        entry.fails = c.fails;
        const ParsedCommandLine parsed = ParseCommandLine({"logon", c.action});
        ASSERT_TRUE(parsed.ok);
        EXPECT_EQ(RunLogon(parsed.invocation.logon, entry, host), c.code) << c.action << c.fails;
        EXPECT_EQ(host.out + host.err, c.says) << c.action << c.fails;
        EXPECT_EQ(entry.keeper, c.keeper) << c.action << c.fails;
        EXPECT_EQ(entry.present, c.presentAfter) << c.action << c.fails;
    }
}

}  // namespace
