// What lumivar's exit code tells a script: one meaning each, on every platform.
#pragma once

#include <algorithm>
#include <vector>

enum ExitCode : int {
    kExitDone = 0,
    kExitBadUsage = 1,   // unknown command or option, a bad value, a mode the board lacks
    kExitNoSuchGpu = 2,  // no GPU of that number, or its board is not supported
    // Nothing reached a board: the driver failed to initialise or enumerate, a transfer failed,
    // the driver never got ready, or another program kept the boards past the lock's bound.
    kExitDriverFailed = 3,
    kExitSettingsFile = 4,  // the settings file cannot be read or written
    kExitLogonEntry = 5,    // the logon entry (Run key, autostart file) cannot be read or written
    kExitKeeperFailed = 6,  // the keeper cannot start: no window, no system bus, no event loop
};

// Several boards in one command: one board's failure does not stop the others, and the command
// reports the worst thing that happened to any of them.
inline int HighestExitCode(const std::vector<int>& boardCodes) {
    return boardCodes.empty() ? kExitDone : *std::max_element(boardCodes.begin(), boardCodes.end());
}
