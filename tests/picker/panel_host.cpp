#include "tests/picker/panel_host.h"

#include <commctrl.h>

#include <cwchar>

#include "core/panel/control_ids.h"
#include "shell/app/setup_application.h"
#include "shell/panel/program_state.h"
#include "tests/support/message_pump.h"
#include "tests/support/recording_messages.h"

namespace {

POINT ScreenPoint(Point client) {
    POINT point = {client.x, client.y};
    ClientToScreen(Program().mainWindow, &point);
    return point;
}

LPARAM ClientParameter() {
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(Program().mainWindow, &cursor);
    return MAKELPARAM(cursor.x, cursor.y);
}

}  // namespace

bool EnsurePanelWindow() {
    static bool ready = [] {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterMainWindowClass(instance);
        RecordingMessages messages;
        const bool started = SetUpApplication(instance, SW_SHOWNORMAL, messages);
        PumpUntilIdle();
        return started && messages.shown.empty();
    }();
    return ready;
}

void MoveCursorTo(Point client) {
    const POINT screen = ScreenPoint(client);
    SetCursorPos(screen.x, screen.y);
    PumpUntilIdle();
    SendMessageW(Program().mainWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(Program().mainWindow),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    SendMessageW(Program().mainWindow, WM_MOUSEMOVE, 0, ClientParameter());
}

COLORREF ClientPixel(Point client) {
    const HDC dc = GetDC(Program().mainWindow);
    const COLORREF pixel = GetPixel(dc, client.x, client.y);
    ReleaseDC(Program().mainWindow, dc);
    return pixel;
}

void PressLeftButton() {
    SendMessageW(Program().mainWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(Program().mainWindow),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    SendMessageW(Program().mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, ClientParameter());
}

void ReleaseLeftButton() {
    SendMessageW(Program().mainWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(Program().mainWindow),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONUP));
    SendMessageW(Program().mainWindow, WM_LBUTTONUP, 0, ClientParameter());
}

void MoveShadeSlider(int position) {
    const HWND slider = GetDlgItem(Program().mainWindow, kShadeSliderId);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    SendMessageW(Program().mainWindow, WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(slider));
}

COLORREF HueImagePixelValue(Point image) {
    return GetPixel(Program().skin1.dc(), image.x, image.y);
}
