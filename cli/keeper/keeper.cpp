#include "cli/keeper/keeper.h"

#include <windows.h>

#include "cli/keeper/keeper_window.h"
#include "platform/logon_entry.h"

namespace {

// One keeper per session; the first one holds this until it ends.
constexpr const wchar_t* kKeeperMutexName = L"Local\\VOXA LED Lumivar Keeper";
// A keeper that has only just started may not have its window yet.
constexpr int kWindowTries = 50;
constexpr DWORD kWindowTryMs = 100;

}  // namespace

int RunKeeper(RestoreFunction restore) {
    const HANDLE instance = CreateMutexW(nullptr, FALSE, kKeeperMutexName);
    if (instance != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        for (int tries = 0; tries < kWindowTries && !AskKeeperToRestore(); ++tries) {
            Sleep(kWindowTryMs);
        }
        CloseHandle(instance);
        return 0;
    }
    const int code = RunKeeperWindow(std::move(restore));
    if (instance != nullptr) CloseHandle(instance);
    return code;
}
