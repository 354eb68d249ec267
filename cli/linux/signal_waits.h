// The Linux keeper's signals, and a send's waits on them: taken as they come, a stop kept for the
// keeper's end with the rest of the wait slept (a pair of blocks still goes out whole), a second
// keep or a change of the settings becoming a trigger.
#pragma once

#include <signal.h>
#include <time.h>

#include <chrono>
#include <functional>
#include <utility>

#include "cli/commands/keeper_send.h"

// The signals the keeper hears, blocked so that they wait for the event loop or a send's wait.
sigset_t KeeperSignals();

// For the system calls that take a time as seconds and nanoseconds.
timespec Timespec(std::chrono::nanoseconds duration);

class SignalWaits final : public KeeperWaits {
  public:
    explicit SignalWaits(std::function<void(Trigger)> onTrigger)
        : onTrigger_(std::move(onTrigger)) {}
    void Sleep(unsigned milliseconds) override;
    bool Stopping() const override { return stopping_; }

  private:
    std::function<void(Trigger)> onTrigger_;
    bool stopping_ = false;
};
