#include "cli/commands/shared_commands.h"

#include <string>

#include "cli/commands/board_commands.h"
#include "cli/commands/exit_codes.h"
#include "cli/commands/lights_out_command.h"

namespace {

// Several lines of text, each written as a line of its own.
void PrintText(CliHost& host, const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        host.Print(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

}  // namespace

std::optional<int> RunSharedCommand(const ParsedCommandLine& parsed, CommandLineFor platform,
                                    CliHost& host) {
    if (!parsed.ok) {
        host.PrintError("lumivar: " + parsed.error);
        host.PrintError("Run 'lumivar --help' for the commands and options.");
        return kExitBadUsage;
    }
    switch (parsed.invocation.command) {
        case Command::kHelp:
            PrintText(host, UsageText(platform));
            return kExitDone;
        case Command::kVersion:
            PrintText(host, VersionText());
            return kExitDone;
        case Command::kLightsOut:
            return RunLightsOut(parsed.invocation.lightsOut, host);
        case Command::kLogon:
        case Command::kKeep:
        case Command::kDoctor:
            return std::nullopt;
        default:
            return RunBoardCommand(parsed.invocation, host);
    }
}
