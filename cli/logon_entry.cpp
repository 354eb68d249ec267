#include "cli/logon_entry.h"

#include <windows.h>

#include "cli/console_host.h"
#include "cli/exit_codes.h"
#include "platform/utf8_text.h"

namespace {

// The per-user Run key needs no administrator rights.
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kEntryName = L"VOXA LED Lumivar";
// Early in a logon the driver may still be starting.
constexpr const wchar_t* kRestoreArguments = L" restore --wait 60";

std::wstring ThisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

int Failed(CliHost& host, const char* what, LSTATUS status) {
    host.PrintError(std::string("lumivar: cannot ") + what + " the logon entry (error " +
                    std::to_string(status) + ")");
    return kExitSettingsFile;
}

int Enable(CliHost& host) {
    const std::wstring command = L"\"" + ThisProgram() + L"\"" + kRestoreArguments;
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return Failed(host, "write", status);
    status =
        RegSetValueExW(key, kEntryName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return Failed(host, "write", status);
    host.Print("enabled: " + Utf8FromWide(command));
    return kExitDone;
}

int Disable(CliHost& host) {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key);
    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueW(key, kEntryName);
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        return Failed(host, "remove", status);
    }
    host.Print("disabled");
    return kExitDone;
}

int Status(CliHost& host) {
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, kRunKey, kEntryName, RRF_RT_REG_SZ,
                                        nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return Failed(host, "read", status);
    host.Print(status == ERROR_SUCCESS ? "enabled" : "disabled");
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
