#include "core/keeper/keeper.h"

#include "core/keeper/keeper_log.h"

void Keeper::Start() {
    Take(schedule_.Start());
}

void Keeper::OnTrigger(Trigger trigger) {
    Take(schedule_.OnTrigger(trigger));
}

void Keeper::OnTimer() {
    Take(schedule_.OnTimer());
}

void Keeper::Take(ScheduleStep step) {
    switch (step) {
        case ScheduleStep::kNothing:
            return;
        case ScheduleStep::kArmTimer:
            system_.ArmTimer(kGatherTriggersMilliseconds);
            return;
        case ScheduleStep::kStartRestore: {
            const Trigger trigger = schedule_.Running();
            const RestoreOutcome outcome = system_.Restore();
            const std::string time = system_.LocalTime();
            system_.Log(KeeperLogLine(time, trigger, outcome.printed, outcome.exitCode));
            system_.Restored(time, outcome.exitCode);
            Take(schedule_.OnRestoreFinished());
            return;
        }
    }
}
