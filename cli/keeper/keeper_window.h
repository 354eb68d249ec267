// The keeper's one window: hidden and top-level (a message-only window never hears the power
// broadcasts), of class "VOXA LED Lumivar Keeper", so that a second keeper and lumivar's
// `logon disable` find it. Each trigger goes through the restore schedule; idle, the keeper waits
// in its message loop with no timer.
#pragma once

#include "cli/keeper/keeper.h"

// Creates the window, starts the first restore and runs the loop until the window is closed,
// then waits for a running restore to end. Returns the process exit code.
int RunKeeperWindow(RestoreFunction restore);
