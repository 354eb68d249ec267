// What lumivar does with its command line the same way on every platform: a bad one is refused
// with exit 1 and a pointer to the help, help and version are printed, and the board commands
// run. Logon, keep and doctor are each platform's own.
#pragma once

#include <optional>

#include "cli/commands/cli_host.h"
#include "cli/commands/command_line.h"

// The exit code, or nothing for a command the platform runs itself.
std::optional<int> RunSharedCommand(const ParsedCommandLine& parsed, CommandLineFor platform,
                                    CliHost& host);
