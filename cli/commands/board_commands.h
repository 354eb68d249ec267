// The commands that reach the boards: list, apply, reset and restore. Each initialises the driver
// once, unloads it once at its end, and returns the process exit code (exit_codes.h).
#pragma once

#include "cli/commands/cli_host.h"
#include "cli/commands/command_line.h"

int RunBoardCommand(const Invocation& invocation, CliHost& host);
