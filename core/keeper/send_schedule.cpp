#include "core/keeper/send_schedule.h"

ScheduleStep SendSchedule::Start() {
    sending_ = true;
    running_ = Trigger::kStart;
    runningForEveryBoard_ = true;
    return ScheduleStep::kStartSend;
}

void SendSchedule::Gather(Trigger trigger) {
    if (!armed_ && !pending_) {
        next_ = trigger;
        nextForEveryBoard_ = false;
    }
    nextForEveryBoard_ = nextForEveryBoard_ || LightingMayBeLost(trigger);
}

ScheduleStep SendSchedule::OnTrigger(Trigger trigger) {
    const bool gathering = armed_ || pending_;
    Gather(trigger);
    if (gathering) return ScheduleStep::kNothing;
    if (sending_) {
        pending_ = true;
        return ScheduleStep::kNothing;
    }
    armed_ = true;
    return ScheduleStep::kArmTimer;
}

ScheduleStep SendSchedule::OnTimer() {
    if (!armed_) return ScheduleStep::kNothing;
    armed_ = false;
    sending_ = true;
    running_ = next_;
    runningForEveryBoard_ = nextForEveryBoard_;
    return ScheduleStep::kStartSend;
}

ScheduleStep SendSchedule::OnSendFinished() {
    if (!sending_) return ScheduleStep::kNothing;
    sending_ = false;
    if (!pending_) return ScheduleStep::kNothing;
    // The system may still be settling from what caused it: the same gathering time first.
    pending_ = false;
    armed_ = true;
    return ScheduleStep::kArmTimer;
}
