// lumivar.exe, and lumivarw.exe built from the same sources for the Windows subsystem (no console
// window, for the logon entry): the panel's lighting commands from the command line, saved
// settings, and the keeper that restores them.
#include <windows.h>

#include <string>
#include <vector>

#include "cli/commands/command_line.h"
#include "cli/commands/doctor_command.h"
#include "cli/commands/logon_command.h"
#include "cli/commands/shared_commands.h"
#include "cli/windows/keeper_instance.h"
#include "cli/windows/logon_run_key.h"
#include "cli/windows/windows_doctor.h"
#include "cli/windows/windows_host.h"
#include "platform/windows/utf8_text.h"

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
    RunKeyLogonEntry entry;
    if (parsed.invocation.command == Command::kLogon) {
        return RunLogon(parsed.invocation.logon, entry, host);
    }
    if (parsed.invocation.command == Command::kDoctor) {
        WindowsDoctor doctor;
        return RunDoctor(parsed.invocation.json, doctor, entry, host);
    }
    return RunKeeper(host);
}
