// `lumivar keep` on Windows: restores the saved lighting at its start, then stays, quietly, in
// one hidden window, to restore it again whenever it may have been lost: after a resume, an
// unlock, a logon or connect to the session, a display adapter's arrival (a driver installed,
// updated or restarted), the tray menu's "今すぐ復元" or a second `keep`. One keeper per session.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct RestoreOutcome {
    int exitCode = 0;
    std::vector<std::string> printed;  // what the restore said, in order
};

// How a restore waits inside the keeper. The restore runs on the keeper's own thread (under Wine
// every thread costs about a megabyte for as long as the keeper lives), so its pauses and its
// waits for a late driver go on answering the window's messages.
class RestoreWaits {
  public:
    virtual ~RestoreWaits() = default;
    virtual void Sleep(unsigned milliseconds) = 0;
    // True once the keeper has been told to end: a wait for the driver stops then, a pause
    // between two blocks of one board does not.
    virtual bool Stopping() const = 0;
};

// One whole restore, as `lumivar restore --wait 60`: the driver initialised, the saved entries
// sent, the driver unloaded.
using RestoreFunction = std::function<RestoreOutcome(RestoreWaits& waits)>;

// Returns the process exit code: 0 once the keeper is closed or the session ends, and at once
// for a second keeper, which asks the first to restore now.
int RunKeeper(RestoreFunction restore);
