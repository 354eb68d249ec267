// `lumivar logon` on Linux: the XDG autostart entry that starts `lumivar keep` at each desktop
// logon.
#pragma once

#include "cli/cli_host.h"
#include "cli/command_line.h"

// Returns the process exit code.
int RunAutostartLogon(LogonAction action, CliHost& host);
