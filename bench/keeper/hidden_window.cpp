// The yardstick for the keeper at rest: a Win32 program with one hidden top-level window and an
// empty message loop, the least a program can be that waits for the system's messages.
#include <windows.h>

#include "bench/yardstick_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    RegisterYardstickClass(instance, L"HIDDENWINDOW");
    const HWND window = CreateWindowExW(0, L"HIDDENWINDOW", L"Hidden window", WS_OVERLAPPED, 0, 0,
                                        0, 0, nullptr, nullptr, instance, nullptr);
    return window != nullptr ? RunYardstickLoop() : 1;
}
