// lumivar.exe, and lumivarw.exe built from the same sources for the Windows subsystem (no console
// window, for the logon entry): the panel's lighting commands from the command line, saved
// settings, and the keeper that restores them.
#include <windows.h>

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_host.h"
#include "cli/keeper/keeper.h"
#include "cli/keeper_restore.h"
#include "cli/logon_entry.h"
#include "cli/shared_commands.h"
#include "platform/utf8_text.h"

namespace {

// The arguments after the program's name, as UTF-8: the command-line parser takes narrow text,
// and a GPU list or mode name may hold any character.
std::vector<std::string> Utf8Arguments(int count, wchar_t** wide) {
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
    return arguments;
}

}  // namespace

// The C runtime's wide arguments, split as CommandLineToArgvW splits them, without loading the
// shell for it.
int wmain(int argc, wchar_t** argv) {
    WindowsHost host;
    const ParsedCommandLine parsed = ParseCommandLine(Utf8Arguments(argc, argv));
    if (const std::optional<int> code = RunSharedCommand(parsed, CommandLineFor::kWindows, host)) {
        return *code;
    }
    if (parsed.invocation.command == Command::kLogon) {
        return RunLogon(parsed.invocation.logon, host);
    }
    return RunKeeper(RestoreForKeeper);
}
