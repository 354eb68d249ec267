#include "cli/linux/keeper.h"

#include <signal.h>
#include <sys/timerfd.h>
#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "cli/commands/exit_codes.h"
#include "cli/commands/keeper_send.h"
#include "cli/linux/keeper_instance.h"
#include "cli/linux/keeper_log_file.h"
#include "cli/linux/signal_waits.h"
#include "core/keeper/keeper.h"

namespace {

// logind answers at once; a bus where nobody answers must not hold the keeper's start for long.
constexpr std::chrono::microseconds kLogindAnswerTime = std::chrono::seconds(5);
constexpr char kLogind[] = "org.freedesktop.login1";
constexpr char kSessionInterface[] = "org.freedesktop.login1.Session";

// The portable keeper's Linux side: sd-event timers, the quiet hours' boundary a real-time timerfd
// that also tells when the clock is set, the sends with waits that hear the signals, and the log
// file (with standard error, for the journal).
class LinuxKeeper final : public KeeperSystem {
  public:
    explicit LinuxKeeper(LinuxHost& host) : host_(host) {}
    ~LinuxKeeper() override {
        for (sd_event_source* timer : timers) sd_event_source_unref(timer);
        if (boundaryClock >= 0) close(boundaryClock);
        sd_bus_flush_close_unref(bus);
        sd_event_unref(event);
    }
    LinuxKeeper(const LinuxKeeper&) = delete;
    LinuxKeeper& operator=(const LinuxKeeper&) = delete;

    void ArmTimer(KeeperTimer timer, unsigned milliseconds) override {
        if (timer == KeeperTimer::kBoundary) return ArmBoundary(milliseconds);
        sd_event_source* source = timers[static_cast<size_t>(timer)];
        sd_event_source_set_time_relative(
            source, std::chrono::microseconds(std::chrono::milliseconds(milliseconds)).count());
        sd_event_source_set_enabled(source, SD_EVENT_ONESHOT);
    }
    void StopTimer(KeeperTimer timer) override {
        if (timer == KeeperTimer::kBoundary) {
            const itimerspec disarmed{};
            timerfd_settime(boundaryClock, 0, &disarmed, nullptr);
            return;
        }
        sd_event_source_set_enabled(timers[static_cast<size_t>(timer)], SD_EVENT_OFF);
    }
    SendOutcome Send(const KeeperSend& send) override {
        SendOutcome outcome = sender_.Send(send);
        if (waits.Stopping()) sd_event_exit(event, kExitDone);
        return outcome;
    }
    TemperatureLook LookAtTemperatures(const KeeperConditions& conditions) override {
        return sender_.LookAtTemperatures(conditions);
    }
    void StopFollowing() override { sender_.StopFollowing(); }
    LocalTime Now() override { return LocalTimeNow(); }
    void Log(const std::string& line) override {
        AppendToKeeperLog(line);
        if (!StandardErrorIsTheLog()) host_.PrintError(line);
    }
    void Sent(const std::string&, int) override {}

    // The keeper cannot start: said in the log, and a code of its own.
    int CannotStart(const char* what, int result) {
        Log(LocalTimeNow().text + " lumivar keep: " + what + ": " + std::strerror(-result));
        return kExitKeeperFailed;
    }

    Keeper keeper{*this};
    SignalWaits waits{[this](Trigger trigger) { keeper.OnTrigger(trigger); }};
    sd_event* event = nullptr;
    sd_bus* bus = nullptr;
    sd_event_source* timers[3] = {};  // by KeeperTimer, one shot, off until armed
    int boundaryClock = -1;           // kBoundary's timerfd, watched by timers[kBoundary]
    bool sessionLocked = false;       // as logind last said

  private:
    // At an absolute time of the real-time clock: the quiet hours are times of the day, and the
    // clock runs on in sleep. A set clock cancels the wait, which the keeper hears as a change.
    void ArmBoundary(unsigned milliseconds) {
        const auto at = std::chrono::system_clock::now() + std::chrono::milliseconds(milliseconds);
        itimerspec value{};
        value.it_value = Timespec(at.time_since_epoch());
        timerfd_settime(boundaryClock, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &value,
                        nullptr);
    }

    LinuxHost& host_;
    KeeperSender sender_{host_, waits};
};

template <KeeperTimer timer>
int OnTimer(sd_event_source*, uint64_t, void* data) {
    static_cast<LinuxKeeper*>(data)->keeper.OnTimer(timer);
    return 0;
}

// The boundary came, or the clock was set (the read fails with ECANCELED).
int OnBoundaryClock(sd_event_source*, int fd, uint32_t, void* data) {
    Keeper& keeper = static_cast<LinuxKeeper*>(data)->keeper;
    uint64_t expirations = 0;
    const ssize_t got = read(fd, &expirations, sizeof expirations);
    if (got == static_cast<ssize_t>(sizeof expirations)) {
        keeper.OnTimer(KeeperTimer::kBoundary);
    } else if (got < 0 && errno == ECANCELED) {
        keeper.OnClockChanged();
    }
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

// The session's properties that changed, "sa{sv}as"; only a LockedHint that changed is told.
int OnSessionPropertiesChanged(sd_bus_message* message, void* data, sd_bus_error*) {
    LinuxKeeper& state = *static_cast<LinuxKeeper*>(data);
    const char* interface = nullptr;
    if (sd_bus_message_read(message, "s", &interface) < 0 ||
        std::strcmp(interface, kSessionInterface) != 0 ||
        sd_bus_message_enter_container(message, 'a', "{sv}") < 0) {
        return 0;
    }
    while (sd_bus_message_enter_container(message, 'e', "sv") > 0) {
        const char* name = nullptr;
        if (sd_bus_message_read(message, "s", &name) < 0) return 0;
        int locked = 0;
        if (std::strcmp(name, "LockedHint") != 0) {
            if (sd_bus_message_skip(message, "v") < 0) return 0;
        } else if (sd_bus_message_read(message, "v", "b", &locked) < 0) {
            return 0;
        } else if ((locked != 0) != state.sessionLocked) {
            state.sessionLocked = locked != 0;
            state.keeper.OnSessionLocked(state.sessionLocked);
        }
        if (sd_bus_message_exit_container(message) < 0) return 0;
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

int OnSettingsChangedSignal(sd_event_source*, const signalfd_siginfo*, void* data) {
    static_cast<LinuxKeeper*>(data)->keeper.OnTrigger(Trigger::kSettings);
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
        result = sd_event_add_signal(event, nullptr, kSettingsChangedSignal,
                                     OnSettingsChangedSignal, &state);
    }
    const struct {
        KeeperTimer timer;
        sd_event_time_handler_t handler;
    } timers[] = {
        {KeeperTimer::kGather, OnTimer<KeeperTimer::kGather>},
        {KeeperTimer::kSample, OnTimer<KeeperTimer::kSample>},
    };
    for (const auto& timer : timers) {
        sd_event_source*& source = state.timers[static_cast<size_t>(timer.timer)];
        if (result >= 0) {
            result = sd_event_add_time_relative(event, &source, CLOCK_MONOTONIC, 0, 0,
                                                timer.handler, &state);
        }
        if (result >= 0) result = sd_event_source_set_enabled(source, SD_EVENT_OFF);
    }
    if (result >= 0) {
        state.boundaryClock = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
        if (state.boundaryClock < 0) result = -errno;
    }
    if (result >= 0) {
        result = sd_event_add_io(event, &state.timers[static_cast<size_t>(KeeperTimer::kBoundary)],
                                 state.boundaryClock, EPOLLIN, OnBoundaryClock, &state);
    }
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
    if (result >= 0) result = sd_bus_set_method_call_timeout(state.bus, kLogindAnswerTime.count());
    return result;
}

// The lock of this process's logind session, read now and heard from now on. Without a session the
// keeper runs on without the user's presence, said once in the log.
void FollowSessionLock(LinuxKeeper& state) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const char* path = nullptr;
    int locked = 0;
    int result = sd_bus_call_method(state.bus, kLogind, "/org/freedesktop/login1",
                                    "org.freedesktop.login1.Manager", "GetSessionByPID", &error,
                                    &reply, "u", static_cast<uint32_t>(getpid()));
    if (result >= 0) result = sd_bus_message_read(reply, "o", &path);
    // Heard before the first look, so that no change between the two is missed.
    if (result >= 0) {
        const std::string match = std::string("type='signal',sender='") + kLogind + "',path='" +
                                  path +
                                  "',interface='org.freedesktop.DBus.Properties',"
                                  "member='PropertiesChanged',arg0='" +
                                  kSessionInterface + "'";
        result =
            sd_bus_add_match(state.bus, nullptr, match.c_str(), OnSessionPropertiesChanged, &state);
    }
    if (result >= 0) {
        result = sd_bus_get_property_trivial(state.bus, kLogind, path, kSessionInterface,
                                             "LockedHint", &error, 'b', &locked);
    }
    sd_bus_message_unref(reply);
    if (result < 0) {
        state.Log(LocalTimeNow().text + " lumivar keep: no login session, a lock is not heard: " +
                  (error.message != nullptr ? error.message : std::strerror(-result)));
    }
    sd_bus_error_free(&error);
    state.sessionLocked = result >= 0 && locked != 0;
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
            state.Log(LocalTimeNow().text + " lumivar keep: " + error);
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
    // Only a locked session is told before the start: an unlock would be a trigger.
    FollowSessionLock(state);
    if (state.sessionLocked) state.keeper.OnSessionLocked(true);
    state.keeper.Start();
    const int result = sd_event_loop(state.event);
    return result < 0 ? kExitKeeperFailed : result;
}
