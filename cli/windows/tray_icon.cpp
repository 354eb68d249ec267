#include "cli/windows/tray_icon.h"

#include <cwchar>

#include "resources/resource_ids.h"

namespace {

constexpr UINT kIconId = 1;
// The longest the keeper's exit waits for the shell to take its icon away.
constexpr DWORD kRemovalWaitMilliseconds = 300;

using ShellNotifyIconFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);

// The shell is loaded for each call and let go again: the icon lives in the taskbar's process,
// and the keeper, resident all session, would otherwise keep the shell's DLLs for a few calls.
bool NotifyShell(DWORD message, NOTIFYICONDATAW& data) {
    const HMODULE shell = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (shell == nullptr) return false;
    const auto notify = reinterpret_cast<ShellNotifyIconFn>(
        reinterpret_cast<void*>(GetProcAddress(shell, "Shell_NotifyIconW")));
    const bool done = notify != nullptr && notify(message, &data) != FALSE;
    FreeLibrary(shell);
    return done;
}

// On a thread of its own, with its own copy of the icon's data, which it frees.
DWORD WINAPI RemoveIcon(void* parameter) {
    const auto data = static_cast<NOTIFYICONDATAW*>(parameter);
    NotifyShell(NIM_DELETE, *data);
    delete data;
    return 0;
}

}  // namespace

std::wstring KeeperTooltip(const std::wstring& lastTime, int lastExitCode) {
    if (lastTime.empty()) return L"VOXA LED Lumivar";
    return L"VOXA LED Lumivar\n" + lastTime +
           (lastExitCode == 0 ? L" 復元しました" : L" 復元できませんでした");
}

bool TrayIcon::Notify(DWORD message) {
    return NotifyShell(message, data_);
}

void TrayIcon::Add(HWND window, UINT callbackMessage) {
    data_.cbSize = sizeof data_;
    data_.hWnd = window;
    data_.uID = kIconId;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconGroupId), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    if (data_.szTip[0] == L'\0') std::wcscpy(data_.szTip, L"VOXA LED Lumivar");
    // A new taskbar may still show the icon (a change of resolution): then it is updated.
    shown_ = Notify(NIM_ADD) || Notify(NIM_MODIFY);
    if (!shown_) return;
    data_.uVersion = NOTIFYICON_VERSION_4;
    Notify(NIM_SETVERSION);
}

void TrayIcon::SetTip(const std::wstring& tip) {
    std::wcsncpy(data_.szTip, tip.c_str(), ARRAYSIZE(data_.szTip) - 1);
    if (shown_) Notify(NIM_MODIFY);
}

// The removal is a message the taskbar answers when it has redrawn: Wine's, hiding its own
// window when the last icon goes, waits 2 s for a window manager that Xvfb does not have. Once
// the request is sent the taskbar removes the icon whether or not the keeper is still there, so
// the exit waits for the answer only so long.
void TrayIcon::Remove() {
    if (!shown_) return;
    shown_ = false;
    const auto data = new NOTIFYICONDATAW(data_);
    const HANDLE thread = CreateThread(nullptr, 0, RemoveIcon, data, 0, nullptr);
    if (thread == nullptr) {
        RemoveIcon(data);
        return;
    }
    WaitForSingleObject(thread, kRemovalWaitMilliseconds);
    CloseHandle(thread);
}

void TrayIcon::ShowMenu(HWND window, POINT at) const {
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kOpenPanelCommand, L"パネルを開く");
    AppendMenuW(menu, MF_STRING, kRestoreNowCommand, L"今すぐ復元");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kExitCommand, L"終了");
    // Without this the menu stays open when the user clicks elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}
