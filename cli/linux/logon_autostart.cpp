#include "cli/linux/logon_autostart.h"

#include "platform/linux/keeper_contact.h"
#include "platform/linux/autostart_entry.h"

std::string AutostartLogonEntry::Where() {
    return AutostartEntryPath();
}

FileRead AutostartLogonEntry::Read(std::string& error) {
    return ReadAutostartEntry(error);
}

bool AutostartLogonEntry::Write(std::string& command, std::string& error) {
    command = "lumivar keep";
    return WriteAutostartEntry(error);
}

bool AutostartLogonEntry::Remove(std::string& error) {
    return RemoveAutostartEntry(error);
}

void AutostartLogonEntry::StartKeeper() {
    if (!KeeperRuns()) StartDetachedKeeper("/proc/self/exe");
}

void AutostartLogonEntry::EndKeeper() {
    EndRunningKeeper();
}
