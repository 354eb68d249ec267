// The keeper's restores run on a thread of their own, one at a time, so that its window keeps
// answering the system while a restore waits for a late driver. The thread lives only as long
// as its restore; the window hears of the end by a message.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

#include "cli/keeper/keeper.h"
#include "core/keeper/keeper_triggers.h"

struct RestoreReport {
    Trigger trigger = Trigger::kStart;
    RestoreOutcome outcome;
};

class RestoreWorker {
  public:
    explicit RestoreWorker(RestoreFunction restore) : restore_(std::move(restore)) {}
    ~RestoreWorker() { Stop(); }
    RestoreWorker(const RestoreWorker&) = delete;
    RestoreWorker& operator=(const RestoreWorker&) = delete;

    // Runs one restore; `finishedMessage` is posted to `window` at its end. None may be running.
    void Start(Trigger trigger, HWND window, UINT finishedMessage);
    // The finished restore, once; nothing when none has finished (a message from elsewhere).
    std::optional<RestoreReport> TakeFinished();
    // Ends a running restore's wait for the driver and waits for its end.
    void Stop();

  private:
    RestoreFunction restore_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::mutex finishedMutex_;
    std::optional<RestoreReport> finished_;
};
