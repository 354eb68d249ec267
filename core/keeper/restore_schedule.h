// When a keeper restores: at once at its start; after a trigger, when the gathering time that the
// trigger opened has passed (the triggers within it are part of the same restore: a resume brings
// several); one restore at a time, a trigger during a restore making one more afterwards. Idle,
// nothing waits.
#pragma once

#include "core/keeper/keeper_triggers.h"

// The gathering time: counted from the first trigger, not from the last, so that a stream of
// triggers never puts a restore off for ever.
constexpr unsigned kGatherTriggersMilliseconds = 2000;
// Each restore waits this long for a driver that is not ready yet, as `restore --wait 60`: early
// in a logon, and after a resume, the driver may take a while to come up.
constexpr int kKeeperWaitSeconds = 60;

// What the keeper does next.
enum class ScheduleStep { kNothing, kArmTimer, kStartRestore };

class RestoreSchedule {
  public:
    ScheduleStep Start();
    ScheduleStep OnTrigger(Trigger trigger);
    // The one-shot timer armed by kArmTimer has fired: the gathering time is over.
    ScheduleStep OnTimer();
    ScheduleStep OnRestoreFinished();
    // What the restore that kStartRestore started is for.
    Trigger Running() const { return running_; }

  private:
    bool armed_ = false;
    bool restoring_ = false;
    bool pending_ = false;  // a trigger came during the restore
    Trigger next_ = Trigger::kStart;
    Trigger running_ = Trigger::kStart;
};
