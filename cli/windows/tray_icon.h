// The keeper's icon in the notification area: the program's icon, a tooltip with the last
// restore, and a menu. Where there is no notification area the keeper runs without it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

// The menu's commands, as WM_COMMAND brings them to the keeper's window.
enum TrayCommand : int {
    kOpenPanelCommand = 0x0201,   // "パネルを開く"
    kRestoreNowCommand = 0x0202,  // "今すぐ復元"
    kExitCommand = 0x0203,        // "終了"
};

// "VOXA LED Lumivar", and the last restore's time and outcome once there was one.
std::wstring KeeperTooltip(const std::wstring& lastTime, int lastExitCode);

class TrayIcon {
  public:
    // Adds the icon (again, after "TaskbarCreated"); events come as `callbackMessage`.
    void Add(HWND window, UINT callbackMessage);
    void SetTip(const std::wstring& tip);
    void Remove();
    // The menu at a screen point, its choice sent to the window as WM_COMMAND.
    void ShowMenu(HWND window, POINT at) const;

  private:
    bool Notify(DWORD message);

    NOTIFYICONDATAW data_ = {};
    bool shown_ = false;
};
