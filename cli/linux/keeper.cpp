#include "cli/linux/keeper.h"

#include <signal.h>
#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>
#include <time.h>

#include <cerrno>
#include <cstring>

#include "cli/commands/exit_codes.h"
#include "cli/commands/keeper_restore.h"
#include "cli/linux/keeper_instance.h"
#include "cli/linux/keeper_log_file.h"
#include "core/keeper/keeper.h"

namespace {

constexpr uint64_t kMicrosecondsPerMillisecond = 1000;
constexpr long kNanosecondsPerMillisecond = 1000000;

// The signals the keeper hears, blocked so that they wait for the event loop or a restore's wait.
sigset_t KeeperSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, kRestoreNowSignal);
    return signals;
}

// A restore's waits: the keeper's signals are taken as they come. A stop is kept for the keeper's
// end and the rest of the wait slept (a pair of blocks still goes out whole); a second keep
// becomes a trigger.
class SignalWaits final : public RestoreWaits {
  public:
    explicit SignalWaits(Keeper& keeper) : keeper_(keeper) {}
    void Sleep(unsigned milliseconds) override {
        timespec left{static_cast<time_t>(milliseconds / 1000),
                      static_cast<long>(milliseconds % 1000) * kNanosecondsPerMillisecond};
        const sigset_t signals = KeeperSignals();
        while (left.tv_sec > 0 || left.tv_nsec > 0) {
            if (stopping_) {
                while (nanosleep(&left, &left) != 0 && errno == EINTR) {
                }
                return;
            }
            timespec start{};
            clock_gettime(CLOCK_MONOTONIC, &start);
            const int signal = sigtimedwait(&signals, nullptr, &left);
            if (signal < 0 && errno == EAGAIN) return;
            if (signal == SIGTERM || signal == SIGINT) stopping_ = true;
            if (signal == kRestoreNowSignal) keeper_.OnTrigger(Trigger::kSecondKeep);
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            left = Less(left, Difference(now, start));
        }
    }
    bool Stopping() const override { return stopping_; }

  private:
    static timespec Difference(const timespec& later, const timespec& earlier) {
        timespec difference{later.tv_sec - earlier.tv_sec, later.tv_nsec - earlier.tv_nsec};
        if (difference.tv_nsec < 0) {
            --difference.tv_sec;
            difference.tv_nsec += 1000 * kNanosecondsPerMillisecond;
        }
        return difference;
    }
    // `from` less `taken`, and never below nothing.
    static timespec Less(const timespec& from, const timespec& taken) {
        timespec left = Difference(from, taken);
        if (left.tv_sec < 0) return {0, 0};
        return left;
    }

    Keeper& keeper_;
    bool stopping_ = false;
};

// The portable keeper's Linux side: an sd-event timer, the restore with waits that hear the
// signals, and the log file (with standard error, for the journal).
class LinuxKeeper final : public KeeperSystem {
  public:
    explicit LinuxKeeper(LinuxHost& host) : host_(host) {}
    ~LinuxKeeper() override {
        sd_event_source_unref(gatherTimer);
        sd_bus_flush_close_unref(bus);
        sd_event_unref(event);
    }
    LinuxKeeper(const LinuxKeeper&) = delete;
    LinuxKeeper& operator=(const LinuxKeeper&) = delete;

    void ArmTimer(unsigned milliseconds) override {
        sd_event_source_set_time_relative(gatherTimer, milliseconds * kMicrosecondsPerMillisecond);
        sd_event_source_set_enabled(gatherTimer, SD_EVENT_ONESHOT);
    }
    RestoreOutcome Restore() override {
        RestoreOutcome outcome = RestoreForKeeper(host_, waits);
        if (waits.Stopping()) sd_event_exit(event, kExitDone);
        return outcome;
    }
    std::string LocalTime() override { return LocalTimeText(); }
    void Log(const std::string& line) override {
        AppendToKeeperLog(line);
        if (!StandardErrorIsTheLog()) host_.PrintError(line);
    }
    void Restored(const std::string&, int) override {}

    // The keeper cannot start: said in the log, and a code of its own.
    int CannotStart(const char* what, int result) {
        Log(LocalTimeText() + " lumivar keep: " + what + ": " + std::strerror(-result));
        return kExitKeeperFailed;
    }

    Keeper keeper{*this};
    SignalWaits waits{keeper};
    sd_event* event = nullptr;
    sd_bus* bus = nullptr;
    sd_event_source* gatherTimer = nullptr;  // one shot, enabled while triggers gather

  private:
    LinuxHost& host_;
};

int OnGatherTimer(sd_event_source*, uint64_t, void* data) {
    static_cast<LinuxKeeper*>(data)->keeper.OnTimer();
    return 0;
}

// logind sends true before the machine sleeps and false once it is back.
int OnPrepareForSleep(sd_bus_message* message, void* data, sd_bus_error*) {
    int goingToSleep = 0;
    if (sd_bus_message_read(message, "b", &goingToSleep) >= 0 && !goingToSleep) {
        static_cast<LinuxKeeper*>(data)->keeper.OnTrigger(Trigger::kResume);
    }
    return 0;
}

int OnStopSignal(sd_event_source* source, const signalfd_siginfo*, void*) {
    return sd_event_exit(sd_event_source_get_event(source), kExitDone);
}

int OnRestoreNowSignal(sd_event_source*, const signalfd_siginfo*, void* data) {
    static_cast<LinuxKeeper*>(data)->keeper.OnTrigger(Trigger::kSecondKeep);
    return 0;
}

int SetUpEvents(LinuxKeeper& state) {
    sd_event*& event = state.event;
    int result = sd_event_new(&event);
    if (result >= 0) result = sd_event_add_signal(event, nullptr, SIGTERM, OnStopSignal, nullptr);
    if (result >= 0) result = sd_event_add_signal(event, nullptr, SIGINT, OnStopSignal, nullptr);
    if (result >= 0) {
        result = sd_event_add_signal(event, nullptr, kRestoreNowSignal, OnRestoreNowSignal, &state);
    }
    if (result >= 0) {
        result = sd_event_add_time_relative(event, &state.gatherTimer, CLOCK_MONOTONIC, 0, 0,
                                            OnGatherTimer, &state);
    }
    if (result >= 0) result = sd_event_source_set_enabled(state.gatherTimer, SD_EVENT_OFF);
    return result;
}

int ListenToLogind(LinuxKeeper& state) {
    int result = sd_bus_open_system(&state.bus);
    if (result >= 0) {
        result = sd_bus_match_signal(state.bus, nullptr, "org.freedesktop.login1",
                                     "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                     "PrepareForSleep", OnPrepareForSleep, &state);
    }
    if (result >= 0) {
        result = sd_bus_attach_event(state.bus, state.event, SD_EVENT_PRIORITY_NORMAL);
    }
    return result;
}

}  // namespace

int RunKeeper(LinuxHost& host) {
    // Blocked before anything else: a second keep may signal as soon as the pid is written.
    const sigset_t signals = KeeperSignals();
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    KeeperInstance instance;
    std::string error;
    LinuxKeeper state(host);
    switch (instance.ClaimForThisProcess(error)) {
        case KeeperInstance::Claim::kAnotherRuns:
            if (AskKeeperToRestore()) return kExitDone;
            return state.CannotStart("the running keeper could not be asked to restore", -ESRCH);
        case KeeperInstance::Claim::kFailed:
            state.Log(LocalTimeText() + " lumivar keep: " + error);
            return kExitKeeperFailed;
        case KeeperInstance::Claim::kFirst:
            break;
    }
    if (const int result = SetUpEvents(state); result < 0) {
        return state.CannotStart("cannot set up its event loop", result);
    }
    // Listening before the first restore: a resume during it is not missed.
    if (const int result = ListenToLogind(state); result < 0) {
        return state.CannotStart("cannot listen for resumes on the system bus", result);
    }
    state.keeper.Start();
    const int result = sd_event_loop(state.event);
    return result < 0 ? kExitKeeperFailed : result;
}
