// `lumivar keep` on Linux: restores the saved lighting at its start, then again after each resume
// from sleep, which logind announces on the system bus. It waits in its event loop with no timer
// and no polling; SIGTERM and SIGINT end it with 0.
#pragma once

#include "cli/linux/linux_host.h"

// Returns the process exit code.
int RunKeeper(LinuxHost& host);
