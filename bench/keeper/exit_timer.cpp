// Times a program's end: finds the top-level window of a class, posts it the message that ends
// it, and prints the milliseconds from the post to the end of its process.
// Usage: exit_timer.exe CLASS close|endsession|trayexit
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "bench/milliseconds_clock.h"

namespace {

// The tray menu's "終了", as WM_COMMAND brings it to the keeper.
constexpr WPARAM kTrayExitCommand = 0x0203;

HWND WaitForWindow(const wchar_t* className) {
    for (int tries = 0; tries < 600; ++tries) {
        if (const HWND window = FindWindowW(className, nullptr)) return window;
        Sleep(50);
    }
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const HWND window = WaitForWindow(argv[1]);
    if (window == nullptr) return 3;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) return 4;
    const double start = MillisecondsNow();
    if (std::wcscmp(argv[2], L"close") == 0) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    } else if (std::wcscmp(argv[2], L"endsession") == 0) {
        // As the system ends a session: asked first, then told.
        SendMessageW(window, WM_QUERYENDSESSION, 0, 0);
        PostMessageW(window, WM_ENDSESSION, TRUE, 0);
    } else if (std::wcscmp(argv[2], L"trayexit") == 0) {
        PostMessageW(window, WM_COMMAND, kTrayExitCommand, 0);
    } else {
        return 2;
    }
    if (WaitForSingleObject(process, 30000) != WAIT_OBJECT_0) return 5;
    std::printf("%.0f\n", MillisecondsNow() - start);
    return 0;
}
