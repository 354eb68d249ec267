// The yardstick of the drag benchmark: the panel's window with its fifteen controls, made by the
// program's own start-up stages, but with a window procedure that does nothing of its own. It
// only receives the pointer moves; whatever the panel spends beyond this is its own work.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "shell/app/main_window.h"
#include "shell/app/startup_messages.h"
#include "shell/panel/program_state.h"

namespace {

LRESULT CALLBACK ControlsOnlyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterControlsOnlyClass(HINSTANCE instance) {
    ProgramState& program = Program();
    wcscpy(program.windowClassName, L"LUMIVARCONTROLSONLY");
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ControlsOnlyProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = program.windowClassName;
    RegisterClassExW(&windowClass);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Program().appInstance = instance;
    RegisterControlsOnlyClass(instance);
    MessageBoxMessages messages;
    if (!CreateMainWindow(messages) || !PlaceWindowAndCreateControls(messages) ||
        !SetUpSliderAndFont(messages)) {
        return 1;
    }
    ShowMainWindow(showCommand);
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
