// The commands that reach the boards: list, apply, reset and restore. Each initialises the driver
// once, unloads it once at its end, and returns the process exit code (cli/exit_codes.h).
#pragma once

#include "cli/cli_host.h"
#include "cli/command_line.h"

// Retried this often while `restore --wait` waits for the driver.
constexpr unsigned kDriverRetryMilliseconds = 500;

int RunBoardCommand(const Invocation& invocation, CliHost& host);

// The keeper's restore, on either platform: `restore --wait 60`.
int RunKeeperRestore(CliHost& host);
