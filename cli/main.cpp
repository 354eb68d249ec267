// lumivar.exe, and lumivarw.exe built from the same sources for the Windows subsystem (no console
// window, for the logon entry): the panel's lighting commands from the command line, saved
// settings, and the keeper that restores them.
#include <windows.h>

#include <string>
#include <vector>

#include "cli/board_commands.h"
#include "cli/command_line.h"
#include "cli/console_host.h"
#include "cli/exit_codes.h"
#include "cli/keeper/keeper.h"
#include "cli/keeper_restore.h"
#include "cli/logon_entry.h"
#include "platform/utf8_text.h"

namespace {

// The arguments after the program's name, as UTF-8: the command-line parser takes narrow text,
// and a GPU list or mode name may hold any character.
std::vector<std::string> Utf8Arguments(int count, wchar_t** wide) {
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
    return arguments;
}

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

// The C runtime's wide arguments, split as CommandLineToArgvW splits them, without loading the
// shell for it.
int wmain(int argc, wchar_t** argv) {
    WindowsHost host;
    const ParsedCommandLine parsed = ParseCommandLine(Utf8Arguments(argc, argv));
    if (!parsed.ok) {
        host.PrintError("lumivar: " + parsed.error);
        host.PrintError("Run 'lumivar --help' for the commands and options.");
        return kExitBadUsage;
    }
    switch (parsed.invocation.command) {
        case Command::kHelp:
            PrintText(host, UsageText());
            return kExitDone;
        case Command::kVersion:
            PrintText(host, VersionText());
            return kExitDone;
        case Command::kLogon:
            return RunLogon(parsed.invocation.logon, host);
        case Command::kKeep:
            return RunKeeper(RestoreForKeeper);
        default:
            return RunBoardCommand(parsed.invocation, host);
    }
}
