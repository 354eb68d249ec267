// The keeper both platforms share: what it logs, and when it sends as a platform's keeper drives
// it, with the rules' timers (its send schedule, triggers gathered into one send, through it).
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "core/keeper/keeper.h"
#include "core/keeper/keeper_log.h"

namespace {

TEST(KeeperLog, OneLinePerRestoreAndNeverAboveTheLimit) {
    EXPECT_EQ(KeeperLogLine("2024-05-01 12:34:56", Trigger::kSecondKeep,
                            {"GPU 0 (A): restored wave", "lumivar: GPU 1 (B\r\nC): failed"}, 3),
              "2024-05-01 12:34:56 second keep: GPU 0 (A): restored wave; GPU 1 (B  C): failed "
              "(exit 3)");

    const struct {
        const char *log, *line, *result;
    } cases[] = {
        {"aaaa\r\nbbbbbbbb\r\n", "cc", "aaaa\r\nbbbbbbbb\r\ncc\r\n"},  // 20: at the limit
        {"aaaa\r\nbbbb\r\ncccc\r\n", "ddd", "cccc\r\nddd\r\n"},        // the older half goes
        {"aaaaaaaa\r\nbbbbbbbb\r\n", "c", "bbbbbbbb\r\nc\r\n"},        // the half is whole lines
        {"aaaaaaaaaaaaaaaaaaaa", "b", "b\r\n"},                        // no line start to keep
        {"", "0123456789abc", "01234567\r\n"},                         // a line cut to half
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LogWithLine(c.log, c.line, "\r\n", 20), c.result) << c.log;
    }
    EXPECT_EQ(LogWithLine("aaaa\nbbbb\ncccc\n", "dddd", "\n", 16), "cccc\ndddd\n");
    EXPECT_EQ(LogWithLine("", "0123456789", "\n", 16), "0123456\n");

    std::string log;
    for (int i = 0; i < 3000; ++i) {
        const std::string line = "restore " + std::to_string(i) + std::string(i % 97, '.');
        log = LogWithLine(log, line, "\r\n");
        ASSERT_LE(log.size(), kKeeperLogLimit);
        ASSERT_EQ(log.substr(log.size() - line.size() - 2), line + "\r\n");
    }
}

// A platform as the keeper sees it, writing down in order what the keeper asks of it. Each send
// returns `outcome`; `duringSend` may bring triggers meanwhile, as a platform's waits do.
struct RecordingSystem : KeeperSystem {
    void ArmTimer(KeeperTimer timer, unsigned milliseconds) override {
        events += "arm " + std::to_string(int(timer)) + " " + std::to_string(milliseconds) + "; ";
    }
    void StopTimer(KeeperTimer timer) override {
        events += "stop " + std::to_string(int(timer)) + "; ";
    }
    SendOutcome Send(const KeeperSend& send) override {
        ++sends;
        events += std::string("send ") + TriggerName(send.trigger) + (send.everyBoard ? "*" : "") +
                  (send.conditions.away ? " away" : "") + "; ";
        if (duringSend) std::exchange(duringSend, nullptr)();
        return outcome;
    }
    TemperatureLook LookAtTemperatures(const KeeperConditions&) override {
        events += "look; ";
        return look;
    }
    void StopFollowing() override { events += "let go; "; }
    LocalTime Now() override { return {"12:00:0" + std::to_string(sends), secondOfDay}; }
    void Log(const std::string& line) override { events += line + "; "; }
    void Sent(const std::string& time, int exitCode) override {
        events += "shown " + time + " " + std::to_string(exitCode) + "; ";
    }
    // What was asked since the last look.
    std::string Asked() { return std::exchange(events, ""); }

    int sends = 0;
    int secondOfDay = 0;
    TemperatureLook look;
    SendOutcome outcome{0, {"GPU 0 (A): restored"}, {}, false};
    std::function<void()> duringSend;
    std::string events;
};

TEST(Keeper, SendsAtStartAndOncePerGatheringAndOneMoreAfterABusySend) {
    RecordingSystem system;
    Keeper keeper(system);
    keeper.Start();
    keeper.OnTrigger(Trigger::kResume);
    keeper.OnTrigger(Trigger::kUnlock);
    system.outcome.exitCode = 3;
    keeper.OnTimer(KeeperTimer::kGather);
    system.outcome.exitCode = 0;
    system.duringSend = [&] { keeper.OnTrigger(Trigger::kTrayMenu); };
    keeper.OnTrigger(Trigger::kSecondKeep);
    keeper.OnTimer(KeeperTimer::kGather);
    system.outcome.printed.clear();  // nothing needed sending: no line
    keeper.OnTimer(KeeperTimer::kGather);
    EXPECT_EQ(system.Asked(),
              "send start*; 12:00:01 start: GPU 0 (A): restored; shown 12:00:01 0; stop 1; "
              "arm 0 2000; "
              "send resume*; 12:00:02 resume: GPU 0 (A): restored (exit 3); shown 12:00:02 3; "
              "stop 1; arm 0 2000; "
              "send second keep*; 12:00:03 second keep: GPU 0 (A): restored; shown 12:00:03 0; "
              "stop 1; arm 0 2000; "
              "send tray menu*; stop 1; ");
}

// Away counts only under a rule that heeds it; an unlock always sends every board. The quiet
// hours' boundary timer follows the rule and the clock; the temperatures are looked at while a
// board follows them, and let go when none does.
TEST(Keeper, PresenceQuietHoursAndTemperaturesBecomeSendsAndTimers) {
    RecordingSystem system;
    Keeper keeper(system);
    keeper.Start();
    system.Asked();
    keeper.OnSessionLocked(true);  // no rule yet: nothing
    keeper.OnDisplay(false);
    EXPECT_EQ(system.Asked(), "");
    keeper.OnSessionLocked(false);
    keeper.OnDisplay(true);
    system.outcome.rule = {true, DailyHours{23 * 60, 7 * 60}};
    system.secondOfDay = 22 * 3600 + 59 * 60 + 30;  // 30 s before the hours begin
    keeper.OnTimer(KeeperTimer::kGather);
    EXPECT_EQ(system.Asked(),
              "arm 0 2000; send unlock*; 12:00:02 unlock: GPU 0 (A): restored; shown 12:00:02 0; "
              "arm 1 30000; ");
    keeper.OnSessionLocked(true);
    keeper.OnDisplay(false);  // away already: no second trigger
    keeper.OnTimer(KeeperTimer::kGather);
    keeper.OnDisplay(true);  // still locked: still away
    keeper.OnTimer(KeeperTimer::kGather);
    system.secondOfDay = 7 * 3600;  // the hours have just ended
    keeper.OnTimer(KeeperTimer::kBoundary);
    keeper.OnTimer(KeeperTimer::kGather);
    EXPECT_EQ(system.Asked(),
              "arm 0 2000; send lock away; 12:00:03 lock: GPU 0 (A): restored; shown 12:00:03 0; "
              "arm 1 30000; arm 0 2000; "
              "send quiet hours away; 12:00:04 quiet hours: GPU 0 (A): restored; "
              "shown 12:00:04 0; arm 1 57600000; ");

    system.outcome = {0, {"GPU 0 (A): restored"}, {}, true};
    keeper.OnClockChanged();
    keeper.OnTimer(KeeperTimer::kGather);
    keeper.OnTimer(KeeperTimer::kSample);  // the same temperatures: no send
    system.look = {false, 700};            // a move held back falls due before the next look
    keeper.OnTimer(KeeperTimer::kSample);
    system.look = {true, 0};
    keeper.OnTimer(KeeperTimer::kSample);
    system.outcome.following = false;
    keeper.OnTimer(KeeperTimer::kGather);
    keeper.OnTimer(KeeperTimer::kSample);  // a late tick after the last board stopped following
    EXPECT_EQ(system.Asked(),
              "arm 0 2000; send clock change away; 12:00:05 clock change: GPU 0 (A): restored; "
              "shown 12:00:05 0; stop 1; arm 2 2000; "
              "look; arm 2 2000; look; arm 2 700; look; arm 0 2000; arm 2 2000; "
              "send temperature away; 12:00:06 temperature: GPU 0 (A): restored; "
              "shown 12:00:06 0; stop 1; stop 2; let go; ");

    system.outcome = {0, {}, {true, std::nullopt}, false};
    keeper.OnSessionLocked(false);
    keeper.OnTimer(KeeperTimer::kGather);
    keeper.OnDisplay(false);
    keeper.OnTimer(KeeperTimer::kGather);
    keeper.OnDisplay(true);
    keeper.OnTimer(KeeperTimer::kGather);
    EXPECT_EQ(system.Asked(),
              "arm 0 2000; send unlock*; stop 1; arm 0 2000; send display off away; stop 1; "
              "arm 0 2000; send display on; stop 1; ");
}
}  // namespace
