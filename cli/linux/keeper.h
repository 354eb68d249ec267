// `lumivar keep` on Linux: one keeper per user. It sends the saved lighting at its start and
// whenever it may have been lost (a resume from sleep, which logind announces on the system bus;
// an unlock; a second `keep`), and whatever the lights-out rule and a colour that follows the
// temperature want as they change (logind's LockedHint for the session, the quiet hours on the
// real-time clock, the temperatures looked at every 2 s while a board follows them). Idle, it
// waits in its event loop; SIGTERM and SIGINT end it with 0 at once, also while a send waits for
// the driver.
#pragma once

#include "cli/linux/linux_host.h"

// Returns the process exit code.
int RunKeeper(LinuxHost& host);
