#include "tests/picker/panel_host.h"

#include <commctrl.h>

#include <cwchar>

#include "app/app_state.h"
#include "app/control_ids.h"
#include "app/setup_application.h"
#include "app/startup_messages.h"
#include "app/window_class.h"

namespace {

class SilentMessages : public StartupMessages {
  public:
    void Show(const wchar_t* text, const wchar_t*) override {
        ++shown;
        std::fwprintf(stderr, L"start-up failed: %ls\n", text);
    }
    int shown = 0;
};

POINT ScreenPoint(Point client) {
    POINT point = {client.x, client.y};
    ClientToScreen(mainWindow, &point);
    return point;
}

LPARAM ClientParameter() {
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(mainWindow, &cursor);
    return MAKELPARAM(cursor.x, cursor.y);
}

}  // namespace

bool EnsurePanelWindow() {
    static bool ready = [] {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterMainWindowClass(instance);
        SilentMessages messages;
        const bool started = SetUpApplication(instance, SW_SHOWNORMAL, messages);
        PumpUntilIdle();
        return started && messages.shown == 0;
    }();
    return ready;
}

bool PumpUntilIdle(int limit) {
    MSG message = {};
    for (int i = 0; i < limit; ++i) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return true;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return false;
}

void MoveCursorTo(Point client) {
    const POINT screen = ScreenPoint(client);
    SetCursorPos(screen.x, screen.y);
    PumpUntilIdle();
    SendMessageW(mainWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(mainWindow),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    SendMessageW(mainWindow, WM_MOUSEMOVE, 0, ClientParameter());
}

COLORREF ClientPixel(Point client) {
    const HDC dc = GetDC(mainWindow);
    const COLORREF pixel = GetPixel(dc, client.x, client.y);
    ReleaseDC(mainWindow, dc);
    return pixel;
}

void PressLeftButton() {
    SendMessageW(mainWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(mainWindow),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, ClientParameter());
}

void ReleaseLeftButton() {
    SendMessageW(mainWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(mainWindow),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONUP));
    SendMessageW(mainWindow, WM_LBUTTONUP, 0, ClientParameter());
}

void MoveShadeSlider(int position) {
    const HWND slider = GetDlgItem(mainWindow, kShadeSliderId);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    SendMessageW(mainWindow, WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(slider));
}

COLORREF HueImagePixelValue(Point image) {
    return GetPixel(skin1.dc, image.x, image.y);
}
