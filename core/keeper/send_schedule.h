// When a keeper sends: at once at its start; after a trigger, when the gathering time that the
// trigger opened has passed (the triggers within it are part of the same send: a resume brings
// several); one send at a time, a trigger during a send making one more afterwards. Idle, nothing
// waits.
#pragma once

#include "core/keeper/keeper_triggers.h"

// The gathering time: counted from the first trigger, not from the last, so that a stream of
// triggers never puts a send off for ever.
constexpr unsigned kGatherTriggersMilliseconds = 2000;
// Each send waits this long for a driver that is not ready yet, as `restore --wait 60`: early in
// a logon, and after a resume, the driver may take a while to come up.
constexpr int kKeeperWaitSeconds = 60;

// What the keeper does next.
enum class ScheduleStep { kNothing, kArmTimer, kStartSend };

class SendSchedule {
  public:
    ScheduleStep Start();
    ScheduleStep OnTrigger(Trigger trigger);
    // The one-shot timer armed by kArmTimer has fired: the gathering time is over.
    ScheduleStep OnTimer();
    ScheduleStep OnSendFinished();
    // What the send that kStartSend started is for: named by the first trigger gathered into it,
    // and for every saved board when any of them says the lighting may have been lost.
    Trigger Running() const { return running_; }
    bool RunningForEveryBoard() const { return runningForEveryBoard_; }
    bool Sending() const { return sending_; }

  private:
    void Gather(Trigger trigger);

    bool armed_ = false;
    bool sending_ = false;
    bool pending_ = false;  // a trigger came during the send
    Trigger next_ = Trigger::kStart;
    bool nextForEveryBoard_ = false;
    Trigger running_ = Trigger::kStart;
    bool runningForEveryBoard_ = true;
};
