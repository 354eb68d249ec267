#include "core/keeper/restore_schedule.h"

ScheduleStep RestoreSchedule::Start() {
    restoring_ = true;
    running_ = Trigger::kStart;
    return ScheduleStep::kStartRestore;
}

ScheduleStep RestoreSchedule::OnTrigger(Trigger trigger) {
    if (armed_ || pending_) return ScheduleStep::kNothing;
    next_ = trigger;
    if (restoring_) {
        pending_ = true;
        return ScheduleStep::kNothing;
    }
    armed_ = true;
    return ScheduleStep::kArmTimer;
}

ScheduleStep RestoreSchedule::OnTimer() {
    if (!armed_) return ScheduleStep::kNothing;
    armed_ = false;
    restoring_ = true;
    running_ = next_;
    return ScheduleStep::kStartRestore;
}

ScheduleStep RestoreSchedule::OnRestoreFinished() {
    if (!restoring_) return ScheduleStep::kNothing;
    restoring_ = false;
    if (!pending_) return ScheduleStep::kNothing;
    // The system may still be settling from what caused it: the same gathering time first.
    pending_ = false;
    armed_ = true;
    return ScheduleStep::kArmTimer;
}
