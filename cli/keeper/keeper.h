// `lumivar keep` on Windows: restores the saved lighting at its start, then stays, quietly, in
// one hidden window, to restore it again whenever it may have been lost: after a resume, an
// unlock, a logon or connect to the session, a display adapter's arrival (a driver installed,
// updated or restarted), the tray menu's "今すぐ復元" or a second `keep`. One keeper per session.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

struct RestoreOutcome {
    int exitCode = 0;
    std::vector<std::string> printed;  // what the restore said, in order
};

// One whole restore, as `lumivar restore --wait 60`: the driver initialised, the saved entries
// sent, the driver unloaded. Once `stopping` turns true (the keeper ends) it waits no longer for
// a driver that is not ready.
using RestoreFunction = std::function<RestoreOutcome(const std::atomic<bool>& stopping)>;

// Returns the process exit code: 0 once the keeper is closed or the session ends, and at once
// for a second keeper, which asks the first to restore now.
int RunKeeper(RestoreFunction restore);
