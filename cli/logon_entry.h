// `lumivar logon`: the user's Run key entry that restores the lights at each logon.
#pragma once

#include "cli/cli_host.h"
#include "cli/command_line.h"

// Returns the process exit code.
int RunLogon(LogonAction action, CliHost& host);
