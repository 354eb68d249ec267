#include "panel/windows/window/window_procedure.h"

#include <windows.h>
#include <windowsx.h>

#include "core/rules/control_ids.h"
#include "platform/windows/process_nvapi.h"
#include "panel/windows/help/help_popup.h"
#include "panel/windows/window/keeper_menu.h"
#include "panel/windows/window/painting.h"
#include "panel/windows/window/control_commands.h"
#include "panel/windows/window/picker.h"
#include "panel/windows/state/program_state.h"

namespace {

constexpr int kSelectionChanged = 1;  // CBN_SELCHANGE, and what accelerator commands carry

void OnPaint(HWND window) {
    PaintPanel(window);
}

void OnVerticalScroll(HWND window, HWND, UINT, int) {
    OnShadeSliderScroll(window);
}

// Releases what start-up made, unloads the driver, and ends the message loop with 0.
void OnDestroy(HWND) {
    ProgramState& program = Program();
    program.skin1.Release();
    program.skin2.Release();
    program.controlFont.Release();
    program.composedWindow.Release();
    nvapi::ProcessNvApi().Unload();
    PostQuitMessage(0);
}

// The Cycle and Single clicks, a changed list and the edits, in turn; only Apply, Reset and help
// end here, every other command (the LED radios and the accelerators' command included) goes on to
// the default processing.
LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int controlId = LOWORD(wParam);
    const int notificationCode = HIWORD(wParam);
    RunCycleClick(window, controlId, notificationCode);
    if (notificationCode == kSelectionChanged) RunSelectionRefresh(window);
    RunEditNotification(window, controlId, notificationCode);
    switch (controlId) {
        case kApplyButtonId:
            RunApply(window);
            return 0;
        case kResetButtonId:
            RunReset(window);
            return 0;
        case kHelpButtonId:
            ShowHelpPopup(window);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The program's own items come back as given; the system menu's own commands go on to the
// default processing.
LRESULT OnSystemCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
        case kLogonMenuCommand:
            ToggleKeeperAtLogon(window);
            return 0;
        case kAwayMenuCommand:
            ToggleLightsOutWhileAway(window);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void OnInitMenuPopup(HWND window, HMENU, UINT, BOOL systemMenu) {
    if (systemMenu) RefreshKeeperMenuItems(window);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RunPointerStateStep(window, message);
    if (IsTrackedMessage(message)) TrackPointer(window);
    switch (message) {
        HANDLE_MSG(window, WM_PAINT, OnPaint);
        HANDLE_MSG(window, WM_VSCROLL, OnVerticalScroll);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
        case WM_COMMAND:
            return OnCommand(window, message, wParam, lParam);
        case WM_SYSCOMMAND:
            return OnSystemCommand(window, message, wParam, lParam);
        case WM_INITMENUPOPUP:
            HANDLE_WM_INITMENUPOPUP(window, wParam, lParam, OnInitMenuPopup);
            break;  // and on to the default processing
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
