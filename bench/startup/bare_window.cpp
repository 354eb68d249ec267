// The yardstick for the panel's start-up: a Win32 program that shows an empty window of the
// panel's size and does nothing else.
#include <windows.h>

#include "bench/yardstick_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    RegisterYardstickClass(instance, L"BAREWINDOW");
    HWND window = CreateWindowExW(0, L"BAREWINDOW", L"Bare window", WS_OVERLAPPEDWINDOW, 0, 0, 480,
                                  440, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return RunYardstickLoop();
}
