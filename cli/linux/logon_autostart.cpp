#include "cli/linux/logon_autostart.h"

#include "cli/exit_codes.h"
#include "linux/autostart_entry.h"

namespace {

int Failed(CliHost& host, const char* what, const std::string& error) {
    host.PrintError(std::string("lumivar: cannot ") + what + " the autostart entry: " + error);
    return kExitSettingsFile;
}

}  // namespace

int RunAutostartLogon(LogonAction action, CliHost& host) {
    std::string error;
    switch (action) {
        case LogonAction::kEnable:
            if (!WriteAutostartEntry(error)) return Failed(host, "write", error);
            host.Print("enabled: " + AutostartEntryPath() +
                       " starts 'lumivar keep' at your next desktop logon");
            return kExitDone;
        case LogonAction::kDisable:
            if (!RemoveAutostartEntry(error)) return Failed(host, "remove", error);
            host.Print("disabled");
            return kExitDone;
        case LogonAction::kStatus:
            switch (ReadAutostartEntry(error)) {
                case FileRead::kFailed:
                    return Failed(host, "read", error);
                case FileRead::kRead:
                    host.Print("enabled");
                    return kExitDone;
                case FileRead::kAbsent:
                    host.Print("disabled");
                    return kExitDone;
            }
    }
    return kExitBadUsage;
}
