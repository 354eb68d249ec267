// `lumivar keep` on Linux: restores the saved lighting at its start, then again after each resume
// from sleep, which logind announces on the system bus. It waits in its event loop with no timer
// and no polling; SIGTERM and SIGINT end it with 0.
#pragma once

#include "cli/linux/linux_host.h"

// Triggers this close together make one restore.
constexpr unsigned kDebounceMilliseconds = 2000;
// Each restore waits this long for a driver that is not ready yet, as `restore --wait 60`.
constexpr int kKeeperWaitSeconds = 60;

// Returns the process exit code.
int RunKeeper(LinuxHost& host);
