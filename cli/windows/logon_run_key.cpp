#include "cli/windows/logon_run_key.h"

#include <windows.h>

#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/keeper_program.h"
#include "platform/windows/system_message.h"
#include "platform/windows/utf8_text.h"

RunKeyLogonEntry::RunKeyLogonEntry() : folder_(ThisProgramFolder()) {}

std::string RunKeyLogonEntry::Where() {
    return Utf8FromWide(LogonEntryKeyName());
}

std::optional<std::string> RunKeyLogonEntry::KeeperMissing() {
    if (KeeperProgramPresent(folder_)) return std::nullopt;
    return "lumivarw.exe is not beside lumivar.exe (" +
           Utf8FromWide(ProgramInFolder(folder_, kKeeperProgramName)) +
           "); it keeps the lighting from the logon on: unpack the whole zip";
}

FileRead RunKeyLogonEntry::Read(std::string& error) {
    bool present = false;
    const LSTATUS status = ReadLogonEntry(present);
    if (status != ERROR_SUCCESS) {
        error = SystemMessage(static_cast<DWORD>(status));
        return FileRead::kFailed;
    }
    return present ? FileRead::kRead : FileRead::kAbsent;
}

bool RunKeyLogonEntry::Write(std::string& command, std::string& error) {
    std::wstring wide;
    const LSTATUS status = WriteLogonEntry(folder_, wide);
    command = Utf8FromWide(wide);
    if (status != ERROR_SUCCESS) error = SystemMessage(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS;
}

bool RunKeyLogonEntry::Remove(std::string& error) {
    const LSTATUS status = RemoveLogonEntry();
    if (status != ERROR_SUCCESS) error = SystemMessage(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS;
}

void RunKeyLogonEntry::StartKeeper() {
    StartKeeperOnce(folder_);
}

void RunKeyLogonEntry::EndKeeper() {
    EndRunningKeeper();
}
