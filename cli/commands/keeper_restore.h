// One restore of a keeper, on either platform: `lumivar restore --wait 60` on the host's driver,
// settings and board lock, with what it says kept for the keeper's log rather than printed.
#pragma once

#include "cli/commands/cli_host.h"
#include "core/keeper/keeper.h"

// How a restore waits inside a keeper, which stays on one thread: its pauses and its waits for a
// late driver go on hearing the system (Windows: the window's messages; Linux: the stop and
// restore signals).
class RestoreWaits {
  public:
    virtual ~RestoreWaits() = default;
    virtual void Sleep(unsigned milliseconds) = 0;
    // True once the keeper has been told to end.
    virtual bool Stopping() const = 0;
};

RestoreOutcome RestoreForKeeper(CliHost& host, RestoreWaits& waits);
