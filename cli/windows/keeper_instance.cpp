#include "cli/windows/keeper_instance.h"

#include <windows.h>

#include "cli/commands/exit_codes.h"
#include "cli/windows/keeper_window.h"
#include "platform/windows/keeper_at_logon.h"

namespace {

// One keeper per session; the first one holds this until it ends.
constexpr const wchar_t* kKeeperMutexName = L"Local\\VOXA LED Lumivar Keeper";
// A keeper that has only just started may not have its window yet.
constexpr int kWindowTries = 50;
constexpr DWORD kWindowTryMs = 100;

}  // namespace

int RunKeeper(CliHost& host) {
    const HANDLE instance = CreateMutexW(nullptr, FALSE, kKeeperMutexName);
    if (instance != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        for (int tries = 0; tries < kWindowTries && !AskKeeperToRestore(); ++tries) {
            Sleep(kWindowTryMs);
        }
        CloseHandle(instance);
        return kExitDone;
    }
    const int code = RunKeeperWindow(host);
    if (instance != nullptr) CloseHandle(instance);
    return code;
}
