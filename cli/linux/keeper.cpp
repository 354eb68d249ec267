#include "cli/linux/keeper.h"

#include <signal.h>
#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>

#include <cstring>

#include "cli/board_commands.h"
#include "cli/exit_codes.h"
#include "core/keeper/restore_schedule.h"

namespace {

constexpr uint64_t kMicrosecondsPerMillisecond = 1000;

// The loop's parts, released in order however the keeper ends.
struct Keeper {
    explicit Keeper(LinuxHost& keeperHost) : host(keeperHost) {}
    ~Keeper() {
        sd_event_source_unref(debounce);
        sd_bus_flush_close_unref(bus);
        sd_event_unref(event);
    }
    Keeper(const Keeper&) = delete;
    Keeper& operator=(const Keeper&) = delete;

    LinuxHost& host;
    sd_event* event = nullptr;
    sd_bus* bus = nullptr;
    sd_event_source* debounce = nullptr;  // a one-shot timer, enabled while triggers gather
};

void Restore(Keeper& keeper, const std::string& trigger) {
    keeper.host.PrintError("lumivar keep: restoring (" + trigger + ")");
    const int code = RunKeeperRestore(keeper.host);
    keeper.host.PrintError(code == kExitDone ? "lumivar keep: restored (" + trigger + ")"
                                             : "lumivar keep: restore failed (" + trigger +
                                                   "), exit code " + std::to_string(code));
}

int OnDebounceEnd(sd_event_source*, uint64_t, void* data) {
    Restore(*static_cast<Keeper*>(data), "resume");
    return 0;
}

// The first trigger arms the timer; those that come while it is armed are part of the same
// restore.
void Trigger(Keeper& keeper) {
    int enabled = SD_EVENT_OFF;
    sd_event_source_get_enabled(keeper.debounce, &enabled);
    if (enabled != SD_EVENT_OFF) return;
    sd_event_source_set_time_relative(keeper.debounce,
                                      kKeeperDebounceMilliseconds * kMicrosecondsPerMillisecond);
    sd_event_source_set_enabled(keeper.debounce, SD_EVENT_ONESHOT);
}

// logind sends true before the machine sleeps and false once it is back.
int OnPrepareForSleep(sd_bus_message* message, void* data, sd_bus_error*) {
    int goingToSleep = 0;
    if (sd_bus_message_read(message, "b", &goingToSleep) >= 0 && !goingToSleep) {
        Trigger(*static_cast<Keeper*>(data));
    }
    return 0;
}

int OnStopSignal(sd_event_source* source, const signalfd_siginfo*, void*) {
    return sd_event_exit(sd_event_source_get_event(source), kExitDone);
}

std::string Problem(const char* what, int result) {
    return std::string("lumivar keep: ") + what + ": " + std::strerror(-result);
}

}  // namespace

int RunKeeper(LinuxHost& host) {
    host.PrintEverythingAsErrors();
    Keeper keeper(host);
    // Signals blocked, they wait for the loop: a restore under way is never cut in half.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    sigprocmask(SIG_BLOCK, &stops, nullptr);

    int result = sd_event_new(&keeper.event);
    if (result >= 0)
        result = sd_event_add_signal(keeper.event, nullptr, SIGTERM, OnStopSignal, nullptr);
    if (result >= 0)
        result = sd_event_add_signal(keeper.event, nullptr, SIGINT, OnStopSignal, nullptr);
    if (result >= 0) {
        result = sd_event_add_time_relative(keeper.event, &keeper.debounce, CLOCK_MONOTONIC, 0, 0,
                                            OnDebounceEnd, &keeper);
    }
    if (result >= 0) result = sd_event_source_set_enabled(keeper.debounce, SD_EVENT_OFF);
    if (result < 0) {
        host.PrintError(Problem("cannot set up its event loop", result));
        return kExitDriverFailed;
    }
    result = sd_bus_open_system(&keeper.bus);
    if (result >= 0) {
        result = sd_bus_match_signal(keeper.bus, nullptr, "org.freedesktop.login1",
                                     "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                     "PrepareForSleep", OnPrepareForSleep, &keeper);
    }
    if (result >= 0)
        result = sd_bus_attach_event(keeper.bus, keeper.event, SD_EVENT_PRIORITY_NORMAL);
    // Listening before the first restore: a resume during it is not missed.
    Restore(keeper, "start");
    if (result < 0) {
        host.PrintError(Problem("cannot listen for resumes on the system bus", result));
        return kExitDriverFailed;
    }
    result = sd_event_loop(keeper.event);
    return result < 0 ? kExitDriverFailed : result;
}
