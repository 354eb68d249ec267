// The keeper's rules: its logon entry's command, which notifications restore, when it restores,
// and its log.
#include <gtest/gtest.h>

#include "core/keeper/keeper_log.h"
#include "core/keeper/logon_command.h"
#include "core/keeper/restore_schedule.h"

namespace {

TEST(KeeperLogon, EntryRunsTheWindowedProgramBesideTheOneThatRegistersIt) {
    EXPECT_EQ(FolderOfProgram(L"C:\\Tools\\lumivar.exe"), L"C:\\Tools");
    EXPECT_EQ(FolderOfProgram(L"lumivar.exe"), L"");
    EXPECT_EQ(ProgramInFolder(L"C:\\", L"a.exe"), L"C:\\a.exe");
    EXPECT_EQ(ProgramInFolder(L"", L"a.exe"), L"a.exe");
    EXPECT_EQ(LogonEntryCommand(L"C:\\Program Files\\VOXA"),
              L"\"C:\\Program Files\\VOXA\\lumivarw.exe\" keep");
}

// Each event code from 0 to `last`: the trigger's name, or "-".
std::string Triggers(std::optional<Trigger> (*rule)(uintptr_t), uintptr_t last) {
    std::string names;
    for (uintptr_t event = 0; event <= last; ++event) {
        const std::optional<Trigger> trigger = rule(event);
        names += std::string(trigger ? TriggerName(*trigger) : "-") + ",";
    }
    return names;
}

TEST(KeeperTriggers, ResumesAndSessionArrivalsOnly) {
    EXPECT_EQ(Triggers(PowerTrigger, 0x13), "-,-,-,-,-,-,-,resume,-,-,-,-,-,-,-,-,-,-,resume,-,");
    EXPECT_EQ(Triggers(SessionTrigger, 9),
              "-,console connect,-,remote connect,-,logon,-,-,unlock,-,");
}

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
    for (const auto& c : cases) EXPECT_EQ(LogWithLine(c.log, c.line, 20), c.result) << c.log;

    std::string log;
    for (int i = 0; i < 3000; ++i) {
        const std::string line = "restore " + std::to_string(i) + std::string(i % 97, '.');
        log = LogWithLine(log, line);
        ASSERT_LE(log.size(), kKeeperLogLimit);
        ASSERT_EQ(log.substr(log.size() - line.size() - 2), line + "\r\n");
    }

    EXPECT_EQ(KeeperTooltip("12:00", 0), "VOXA LED Lumivar\n12:00 復元しました");
    EXPECT_EQ(KeeperTooltip("12:00", 4), "VOXA LED Lumivar\n12:00 復元できませんでした");
}

}  // namespace
