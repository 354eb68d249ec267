// Another program on the user's machine, as the saving tests need one.
//   other_program hold FILE SHARE MILLISECONDS: keeps FILE open for reading that long, sharing
//     nothing (SHARE "none", as virus scanners and indexers do for a moment) or reading only
//     (SHARE "read"); exit code 1 when it cannot open the file.
//   other_program burn MILLISECONDS: keeps every processor busy that long.
#include <windows.h>

#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {

int Burn(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    // Twice as many threads as there are processors, and one: the programs under test wait for a
    // turn at every step.
    std::vector<std::thread> threads(2 * std::thread::hardware_concurrency() + 1);
    for (std::thread& thread : threads) {
        thread = std::thread([end] {
            while (GetTickCount64() < end) continue;
        });
    }
    for (std::thread& thread : threads) thread.join();
    return 0;
}

int Hold(const wchar_t* path, const std::wstring& share, DWORD milliseconds) {
    // The test looks whether the file is held by opening it, sharing nothing: past such a look.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 100; ++tries) {
        file = CreateFileW(path, GENERIC_READ, share == L"read" ? FILE_SHARE_READ : 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) break;
        Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE) return 1;
    Sleep(milliseconds);
    CloseHandle(file);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring action = argc > 1 ? argv[1] : L"";
    if (action == L"hold" && argc == 5) {
        return Hold(argv[2], argv[3], static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)));
    }
    if (action == L"burn" && argc == 3) {
        return Burn(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    }
    return 2;
}
