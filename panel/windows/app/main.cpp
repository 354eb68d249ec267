// The program's entry: one copy per logon, the window class, start-up, and the message loop.
#include <windows.h>

#include "core/rules/panel_rules.h"
#include "resources/resource_ids.h"
#include "panel/windows/app/setup_application.h"
#include "panel/windows/window/startup_messages.h"

namespace {

// Held, never closed, until the process ends.
HANDLE instanceMutex = nullptr;

// A second copy ends silently and leaves the first one where it is.
bool ClaimSingleInstance() {
    instanceMutex = CreateMutexW(nullptr, TRUE, L"LEDLumivar.exe");
    const DWORD error = GetLastError();
    return instanceMutex != nullptr && error != ERROR_ALREADY_EXISTS;
}

int RunMessageLoop(HACCEL accelerators) {
    MSG message = {};
    for (;;) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (const std::optional<int> exitCode = MessageLoopExitCode(result, message.wParam)) {
            return *exitCode;
        }
        if (!TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    if (!ClaimSingleInstance()) return 0;
    RegisterMainWindowClass(instance);
    MessageBoxMessages messages;
    if (!SetUpApplication(instance, showCommand, messages)) return 0;
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(kAcceleratorTableId));
    return RunMessageLoop(accelerators);
}
