// What lumivar.exe's exit code tells a script.
#pragma once

#include <algorithm>
#include <vector>

enum ExitCode : int {
    kExitDone = 0,
    kExitBadUsage = 1,   // unknown command or option, a bad value, a mode the board lacks
    kExitNoSuchGpu = 2,  // no GPU of that number, or its board is not supported
    kExitDriverFailed =
        3,  // initialise, enumeration or a transfer failed; the driver never got ready
    kExitSettingsFile = 4,  // the settings file (or the logon entry) cannot be read or written
};

// Several boards in one command: one board's failure does not stop the others, and the command
// reports the worst thing that happened to any of them.
inline int HighestExitCode(const std::vector<int>& boardCodes) {
    return boardCodes.empty() ? kExitDone : *std::max_element(boardCodes.begin(), boardCodes.end());
}
