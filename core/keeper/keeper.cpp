#include "core/keeper/keeper.h"

#include <algorithm>

#include "core/keeper/keeper_log.h"

namespace {

constexpr unsigned kMillisecondsPerSecond = 1000;

}  // namespace

void Keeper::Start() {
    Take(schedule_.Start());
}

void Keeper::OnTrigger(Trigger trigger) {
    Take(schedule_.OnTrigger(trigger));
}

void Keeper::OnSessionLocked(bool locked) {
    const bool wasAway = sessionLocked_ || displayOff_;
    sessionLocked_ = locked;
    if (!locked) return OnTrigger(Trigger::kUnlock);
    OnAwayChanged(wasAway, Trigger::kLock);
}

void Keeper::OnDisplay(bool on) {
    const bool wasAway = sessionLocked_ || displayOff_;
    displayOff_ = !on;
    OnAwayChanged(wasAway, on ? Trigger::kDisplayOn : Trigger::kDisplayOff);
}

// Only a rule that heeds the user's presence makes it a reason to send.
void Keeper::OnAwayChanged(bool wasAway, Trigger trigger) {
    if (rule_.away && wasAway != (sessionLocked_ || displayOff_)) OnTrigger(trigger);
}

void Keeper::OnClockChanged() {
    OnTrigger(Trigger::kClockChange);
}

void Keeper::OnTimer(KeeperTimer timer) {
    switch (timer) {
        case KeeperTimer::kGather:
            return Take(schedule_.OnTimer());
        case KeeperTimer::kBoundary:
            return OnTrigger(Trigger::kQuietHours);
        case KeeperTimer::kSample: {
            if (!following_) return;
            unsigned next = kTemperatureSampleMilliseconds;
            // A send under way reads the temperatures itself.
            if (!schedule_.Sending()) {
                const TemperatureLook look = system_.LookAtTemperatures(Conditions());
                if (look.send) OnTrigger(Trigger::kTemperature);
                if (look.heldMilliseconds > 0) next = std::min(next, look.heldMilliseconds);
            }
            if (following_) system_.ArmTimer(KeeperTimer::kSample, next);
            return;
        }
    }
}

KeeperConditions Keeper::Conditions() {
    return {sessionLocked_ || displayOff_, system_.Now().secondOfDay};
}

void Keeper::Take(ScheduleStep step) {
    switch (step) {
        case ScheduleStep::kNothing:
            return;
        case ScheduleStep::kArmTimer:
            system_.ArmTimer(KeeperTimer::kGather, kGatherTriggersMilliseconds);
            return;
        case ScheduleStep::kStartSend: {
            const Trigger trigger = schedule_.Running();
            const SendOutcome outcome =
                system_.Send({trigger, schedule_.RunningForEveryBoard(), Conditions()});
            // A send that had nothing to do leaves no line.
            if (!outcome.printed.empty() || outcome.exitCode != 0) {
                const std::string time = system_.Now().text;
                system_.Log(KeeperLogLine(time, trigger, outcome.printed, outcome.exitCode));
                system_.Sent(time, outcome.exitCode);
            }
            AfterSend(outcome);
            Take(schedule_.OnSendFinished());
            return;
        }
    }
}

// The rule and what follows a temperature may have changed with the settings: the boundary
// timer and the looks at the temperatures are set again.
void Keeper::AfterSend(const SendOutcome& outcome) {
    rule_ = outcome.rule;
    following_ = outcome.following;
    if (rule_.hours) {
        const int seconds = SecondsToNextBoundary(*rule_.hours, system_.Now().secondOfDay);
        system_.ArmTimer(KeeperTimer::kBoundary,
                         static_cast<unsigned>(seconds) * kMillisecondsPerSecond);
    } else {
        system_.StopTimer(KeeperTimer::kBoundary);
    }
    if (following_ && !sampling_) {
        system_.ArmTimer(KeeperTimer::kSample, kTemperatureSampleMilliseconds);
    } else if (!following_ && sampling_) {
        system_.StopTimer(KeeperTimer::kSample);
        system_.StopFollowing();
    }
    sampling_ = following_;
}
