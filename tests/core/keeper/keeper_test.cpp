// The keeper both platforms share: when it restores, what it logs, and the two together as a
// platform's keeper drives them.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "core/keeper/keeper.h"
#include "core/keeper/keeper_log.h"
#include "core/keeper/restore_schedule.h"

namespace {

// A run of events: S start, T trigger (resume), U trigger (unlock), F the timer fires, D a restore
// ends. The steps: n nothing, a arm the timer, and the restore started, by its trigger.
std::string Steps(const std::string& events) {
    RestoreSchedule schedule;
    std::string steps;
    for (char event : events) {
        const ScheduleStep step = event == 'S'   ? schedule.Start()
                                  : event == 'T' ? schedule.OnTrigger(Trigger::kResume)
                                  : event == 'U' ? schedule.OnTrigger(Trigger::kUnlock)
                                  : event == 'F' ? schedule.OnTimer()
                                                 : schedule.OnRestoreFinished();
        steps += step == ScheduleStep::kNothing ? "n "
                 : step == ScheduleStep::kArmTimer
                     ? "a "
                     : std::string(TriggerName(schedule.Running())) + " ";
    }
    return steps;
}

TEST(KeeperSchedule, TriggersCloseTogetherMakeOneRestoreAndOneMoreFollowsABusyOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"SDTTTFD", "start n a n n resume n "},          // three resumes, one restore
        {"SDUTFD", "start n a n unlock n "},             // named by the first
        {"STUDFD", "start n n a resume n "},             // during a restore: one more after it
        {"SDTFUDFD", "start n a resume n a unlock n "},  // during the second
        {"SDFDD", "start n n n n "},                     // a stray timer or end changes nothing
        {"SDTFDTFD", "start n a resume n a resume n "},  // quiet again: a new restore
    };
    for (const auto& [events, steps] : cases) EXPECT_EQ(Steps(events), steps) << events;
}

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

// A platform as the keeper sees it: the timer, each restore (during which `duringRestore` may
// bring triggers, as a platform's waits do) and the log, written down in order.
struct RecordingSystem : KeeperSystem {
    void ArmTimer(unsigned milliseconds) override {
        events += "timer " + std::to_string(milliseconds) + "; ";
    }
    RestoreOutcome Restore() override {
        ++restores;
        if (duringRestore) std::exchange(duringRestore, nullptr)();
        return {restores == 2 ? 3 : 0, {"GPU 0 (A): restored " + std::to_string(restores)}};
    }
    std::string LocalTime() override { return "12:00:0" + std::to_string(restores); }
    void Log(const std::string& line) override { events += line + "; "; }
    void Restored(const std::string& time, int exitCode) override {
        events += "shown " + time + " " + std::to_string(exitCode) + "; ";
    }
    int restores = 0;
    std::function<void()> duringRestore;
    std::string events;
};

TEST(Keeper, RestoresAtStartAndOncePerGatheringLogsEachAndMakesOneMoreAfterABusyRestore) {
    RecordingSystem system;
    Keeper keeper(system);
    keeper.Start();
    keeper.OnTrigger(Trigger::kResume);
    keeper.OnTrigger(Trigger::kUnlock);
    keeper.OnTimer();
    system.duringRestore = [&] { keeper.OnTrigger(Trigger::kTrayMenu); };
    keeper.OnTrigger(Trigger::kSecondKeep);
    keeper.OnTimer();
    keeper.OnTimer();
    EXPECT_EQ(system.events,
              "12:00:01 start: GPU 0 (A): restored 1; shown 12:00:01 0; "
              "timer 2000; "
              "12:00:02 resume: GPU 0 (A): restored 2 (exit 3); shown 12:00:02 3; "
              "timer 2000; "
              "12:00:03 second keep: GPU 0 (A): restored 3; shown 12:00:03 0; timer 2000; "
              "12:00:04 tray menu: GPU 0 (A): restored 4; shown 12:00:04 0; ");
}

}  // namespace
