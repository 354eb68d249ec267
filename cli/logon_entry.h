// `lumivar logon`: the user's Run key entry that starts the keeper (lumivarw.exe keep, beside
// this program) at each logon, and the keeper itself.
#pragma once

#include "cli/cli_host.h"
#include "cli/command_line.h"

// Returns the process exit code.
int RunLogon(LogonAction action, CliHost& host);
