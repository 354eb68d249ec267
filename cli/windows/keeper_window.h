// The keeper's one window: hidden and top-level (a message-only window never hears the power
// broadcasts), of class "VOXA LED Lumivar Keeper", so that a second keeper and lumivar's
// `logon disable` find it. It turns the system's messages into the keeper's triggers; each
// restore runs on the window's own thread, its waits answering the window's messages. Idle, the
// keeper waits in its message loop with no timer.
#pragma once

#include "cli/commands/cli_host.h"

// Creates the window, makes the first restore and runs the loop until the window is closed.
// Returns the process exit code.
int RunKeeperWindow(CliHost& host);
