// The keeper, the same on every platform: each platform turns its system's events into triggers,
// and gives it a timer, a restore and a log; this decides when to restore and what the log says.
#pragma once

#include <string>
#include <vector>

#include "core/keeper/restore_schedule.h"

// What one restore said, in order, and how it ended.
struct RestoreOutcome {
    int exitCode = 0;
    std::vector<std::string> printed;
};

// What a platform's keeper does for the portable one.
class KeeperSystem {
  public:
    virtual ~KeeperSystem() = default;
    // One shot; Keeper::OnTimer once it fires.
    virtual void ArmTimer(unsigned milliseconds) = 0;
    // One whole restore. Its waits go on hearing the system, so Keeper::OnTrigger may be called
    // while it runs.
    virtual RestoreOutcome Restore() = 0;
    // "2024-05-01 12:34:56", local time.
    virtual std::string LocalTime() = 0;
    // One line of the keeper's log.
    virtual void Log(const std::string& line) = 0;
    // After each restore, with its log line's time.
    virtual void Restored(const std::string& time, int exitCode) = 0;
};

class Keeper {
  public:
    explicit Keeper(KeeperSystem& system) : system_(system) {}
    Keeper(const Keeper&) = delete;
    Keeper& operator=(const Keeper&) = delete;

    // The restore at the keeper's start.
    void Start();
    void OnTrigger(Trigger trigger);
    void OnTimer();

  private:
    void Take(ScheduleStep step);

    KeeperSystem& system_;
    RestoreSchedule schedule_;
};
