#include "platform/windows/keeper_at_logon.h"

#include "platform/windows/keeper_program.h"

namespace {

// The per-user Run key needs no administrator rights.
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kEntryName = L"VOXA LED Lumivar";
// A keeper in the middle of a restore finishes the board it is sending to first.
constexpr DWORD kKeeperEndWaitMs = 10000;

}  // namespace

std::wstring LogonEntryKeyName() {
    return std::wstring(L"HKCU\\") + kRunKey + L"\\" + kEntryName;
}

LSTATUS ReadLogonEntry(bool& present) {
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, kRunKey, kEntryName, RRF_RT_REG_SZ,
                                        nullptr, nullptr, nullptr);
    present = status == ERROR_SUCCESS;
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

LSTATUS WriteLogonEntry(const std::wstring& folder, std::wstring& command) {
    command = KeeperCommandLine(folder);
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status =
        RegSetValueExW(key, kEntryName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status;
}

LSTATUS RemoveLogonEntry() {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key);
    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueW(key, kEntryName);
        RegCloseKey(key);
    }
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

HWND RunningKeeper() {
    return FindWindowW(kKeeperWindowClass, nullptr);
}

bool AskKeeperToRestore() {
    const HWND keeper = RunningKeeper();
    return keeper != nullptr &&
           PostMessageW(keeper, kKeeperRestoreNowMessage, kKeeperRestoreNowRequest, 0);
}

void TellKeeperSettingsChanged() {
    if (const HWND keeper = RunningKeeper()) {
        PostMessageW(keeper, kKeeperSettingsChangedMessage, kKeeperSettingsChangedRequest, 0);
    }
}

void StartKeeperOnce(const std::wstring& folder) {
    if (RunningKeeper() != nullptr) return;
    StartProgram(ProgramInFolder(folder, kKeeperProgramName), KeeperCommandLine(folder), folder);
}

void EndRunningKeeper() {
    const HWND keeper = RunningKeeper();
    if (keeper == nullptr) return;
    DWORD processId = 0;
    GetWindowThreadProcessId(keeper, &processId);
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    PostMessageW(keeper, WM_CLOSE, 0, 0);
    if (process == nullptr) return;
    WaitForSingleObject(process, kKeeperEndWaitMs);
    CloseHandle(process);
}

LSTATUS EnableKeeperAtLogon(const std::wstring& folder) {
    std::wstring command;
    const LSTATUS status = WriteLogonEntry(folder, command);
    if (status == ERROR_SUCCESS) StartKeeperOnce(folder);
    return status;
}

LSTATUS DisableKeeperAtLogon() {
    const LSTATUS status = RemoveLogonEntry();
    if (status == ERROR_SUCCESS) EndRunningKeeper();
    return status;
}
