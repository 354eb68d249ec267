#include "cli/logon_entry.h"

#include <windows.h>

#include "cli/exit_codes.h"
#include "core/keeper/logon_command.h"
#include "platform/logon_entry.h"
#include "platform/utf8_text.h"

namespace {

int Failed(CliHost& host, const char* what, LSTATUS status) {
    host.PrintError(std::string("lumivar: cannot ") + what + " the logon entry (error " +
                    std::to_string(status) + ")");
    return kExitSettingsFile;
}

int Enable(CliHost& host) {
    const std::wstring folder = ThisProgramFolder();
    if (!KeeperProgramPresent(folder)) {
        host.PrintError("lumivar: lumivarw.exe is not beside lumivar.exe (" +
                        Utf8FromWide(ProgramInFolder(folder, kKeeperProgramName)) +
                        "); it keeps the lighting from the logon on: unpack the whole zip");
        return kExitSettingsFile;
    }
    std::wstring command;
    const LSTATUS status = EnableKeeperAtLogon(folder, command);
    if (status != ERROR_SUCCESS) return Failed(host, "write", status);
    host.Print("enabled: " + Utf8FromWide(command));
    return kExitDone;
}

int Disable(CliHost& host) {
    const LSTATUS status = DisableKeeperAtLogon();
    if (status != ERROR_SUCCESS) return Failed(host, "remove", status);
    host.Print("disabled");
    return kExitDone;
}

int Status(CliHost& host) {
    bool present = false;
    const LSTATUS status = ReadLogonEntry(present);
    if (status != ERROR_SUCCESS) return Failed(host, "read", status);
    host.Print(present ? "enabled" : "disabled");
    return kExitDone;
}

}  // namespace

int RunLogon(LogonAction action, CliHost& host) {
    switch (action) {
        case LogonAction::kEnable:
            return Enable(host);
        case LogonAction::kDisable:
            return Disable(host);
        case LogonAction::kStatus:
            return Status(host);
    }
    return kExitBadUsage;
}
