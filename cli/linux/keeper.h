// `lumivar keep` on Linux: one keeper per user. It restores the saved lighting at its start, then
// again after each resume from sleep, which logind announces on the system bus, and when a second
// `keep` asks. It waits in its event loop with no timer and no polling; SIGTERM and SIGINT end it
// with 0 at once, also while a restore waits for the driver.
#pragma once

#include "cli/linux/linux_host.h"

// Returns the process exit code.
int RunKeeper(LinuxHost& host);
