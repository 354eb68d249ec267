#include "platform/logon_entry.h"

#include "core/keeper/logon_command.h"

namespace {

// The per-user Run key needs no administrator rights.
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kEntryName = L"VOXA LED Lumivar";
// A keeper in the middle of a restore finishes the board it is sending to first.
constexpr DWORD kKeeperEndWaitMs = 10000;

void StartKeeper(const std::wstring& folder) {
    StartProgram(ProgramInFolder(folder, kKeeperProgramName), LogonEntryCommand(folder), folder);
}

// Asks the keeper to close, and waits for its process to end.
void EndKeeper(HWND keeper) {
    DWORD processId = 0;
    GetWindowThreadProcessId(keeper, &processId);
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    PostMessageW(keeper, WM_CLOSE, 0, 0);
    if (process == nullptr) return;
    WaitForSingleObject(process, kKeeperEndWaitMs);
    CloseHandle(process);
}

}  // namespace

std::wstring ThisProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return FolderOfProgram(path);
        }
        path.resize(path.size() * 2);
    }
}

bool KeeperProgramPresent(const std::wstring& folder) {
    const DWORD attributes =
        GetFileAttributesW(ProgramInFolder(folder, kKeeperProgramName).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

LSTATUS ReadLogonEntry(bool& present) {
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, kRunKey, kEntryName, RRF_RT_REG_SZ,
                                        nullptr, nullptr, nullptr);
    present = status == ERROR_SUCCESS;
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

LSTATUS EnableKeeperAtLogon(const std::wstring& folder, std::wstring& command) {
    command = LogonEntryCommand(folder);
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status =
        RegSetValueExW(key, kEntryName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (status == ERROR_SUCCESS && RunningKeeper() == nullptr) StartKeeper(folder);
    return status;
}

LSTATUS DisableKeeperAtLogon() {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key);
    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueW(key, kEntryName);
        RegCloseKey(key);
    }
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return status;
    if (const HWND keeper = RunningKeeper()) EndKeeper(keeper);
    return status;
}

HWND RunningKeeper() {
    return FindWindowW(kKeeperWindowClass, nullptr);
}

bool AskKeeperToRestore() {
    const HWND keeper = RunningKeeper();
    return keeper != nullptr &&
           PostMessageW(keeper, kKeeperRestoreNowMessage, kKeeperRestoreNowRequest, 0);
}

void StartProgram(const std::wstring& program, std::wstring commandLine,
                  const std::wstring& folder) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}
