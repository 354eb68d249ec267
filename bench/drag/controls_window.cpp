// The yardstick of the drag benchmark: the panel's window with its fifteen controls, made by the
// program's own start-up steps, but with a window procedure that does nothing of its own. It
// only receives the pointer moves; whatever the panel spends beyond this is its own work.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "bench/yardstick_window.h"
#include "panel/windows/window/main_window.h"
#include "panel/windows/window/startup_messages.h"
#include "panel/windows/state/program_state.h"

namespace {

// The panel's start-up steps create the window of the class named in the program's state.
void RegisterControlsOnlyClass(HINSTANCE instance) {
    ProgramState& program = Program();
    wcscpy(program.windowClassName, L"LUMIVARCONTROLSONLY");
    RegisterYardstickClass(instance, program.windowClassName);
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
    return RunYardstickLoop();
}
