#include "cli/commands/logon_command.h"

#include "cli/commands/exit_codes.h"

namespace {

int Failed(CliHost& host, LogonEntry& entry, const char* what, const std::string& error) {
    host.PrintError(std::string("lumivar: cannot ") + what + " the logon entry (" + entry.Where() +
                    "): " + error);
    return kExitLogonEntry;
}

int Enable(LogonEntry& entry, CliHost& host) {
    if (const std::optional<std::string> missing = entry.KeeperMissing()) {
        host.PrintError("lumivar: " + *missing);
        return kExitLogonEntry;
    }
    std::string command, error;
    if (!entry.Write(command, error)) return Failed(host, entry, "write", error);
    entry.StartKeeper();
    host.Print("enabled: " + command);
    return kExitDone;
}

int Disable(LogonEntry& entry, CliHost& host) {
    std::string error;
    if (!entry.Remove(error)) return Failed(host, entry, "remove", error);
    entry.EndKeeper();
    host.Print("disabled");
    return kExitDone;
}

int Status(LogonEntry& entry, CliHost& host) {
    std::string error;
    switch (entry.Read(error)) {
        case FileRead::kFailed:
            return Failed(host, entry, "read", error);
        case FileRead::kRead:
            host.Print("enabled");
            return kExitDone;
        case FileRead::kAbsent:
            break;
    }
    host.Print("disabled");
    return kExitDone;
}

}  // namespace

int RunLogon(LogonAction action, LogonEntry& entry, CliHost& host) {
    switch (action) {
        case LogonAction::kEnable:
            return Enable(entry, host);
        case LogonAction::kDisable:
            return Disable(entry, host);
        case LogonAction::kStatus:
            return Status(entry, host);
    }
    return kExitBadUsage;
}
