#include "cli/keeper/keeper_window.h"

#include <windows.h>
#include <windowsx.h>

#include <optional>
#include <string>

#include "cli/keeper/keeper_log_file.h"
#include "cli/keeper/answering_waits.h"
#include "cli/keeper/system_notifications.h"
#include "cli/keeper/tray_icon.h"
#include "core/keeper/keeper_log.h"
#include "core/keeper/logon_command.h"
#include "core/keeper/restore_schedule.h"
#include "platform/logon_entry.h"
#include "platform/utf8_text.h"

namespace {

constexpr UINT kTrayMessage = WM_APP + 3;
constexpr UINT_PTR kDebounceTimer = 1;

struct KeeperState {
    explicit KeeperState(RestoreFunction restoreFunction) : restore(std::move(restoreFunction)) {}
    RestoreSchedule schedule;
    RestoreFunction restore;
    AnsweringWaits waits;
    TrayIcon tray;
    SystemNotifications notifications;
    UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
};

// The process's one keeper, while its window runs.
KeeperState* keeper = nullptr;

void RunRestore(HWND window);

void Apply(HWND window, ScheduleStep step) {
    switch (step) {
        case ScheduleStep::kArmTimer:
            if (IsWindow(window))
                SetTimer(window, kDebounceTimer, kKeeperDebounceMilliseconds, nullptr);
            break;
        case ScheduleStep::kStartRestore:
            RunRestore(window);
            break;
        case ScheduleStep::kNothing:
            break;
    }
}

void OnTrigger(HWND window, Trigger trigger) {
    Apply(window, keeper->schedule.OnTrigger(trigger));
}

// The panel from the keeper's folder; one that runs already is brought forward.
void OpenPanel() {
    if (const HWND panel = FindWindowW(L"LEDLUMIVAR", nullptr)) {
        ShowWindow(panel, SW_RESTORE);
        SetForegroundWindow(panel);
        return;
    }
    const std::wstring folder = ThisProgramFolder();
    const std::wstring program = ProgramInFolder(folder, L"LEDLumivar.exe");
    StartProgram(program, L"\"" + program + L"\"", folder);
}

LRESULT OnPowerBroadcast(HWND window, WPARAM event) {
    if (const std::optional<Trigger> trigger = PowerTrigger(event)) OnTrigger(window, *trigger);
    return TRUE;
}

void OnSessionChange(HWND window, WPARAM event) {
    if (const std::optional<Trigger> trigger = SessionTrigger(event)) OnTrigger(window, *trigger);
}

LRESULT OnDeviceChange(HWND window, WPARAM event, LPARAM data) {
    if (IsDisplayAdapterArrival(event, data)) OnTrigger(window, Trigger::kDisplayAdapter);
    return TRUE;
}

void OnRestoreNow(HWND window, WPARAM request) {
    if (request == kKeeperRestoreNowRequest) OnTrigger(window, Trigger::kSecondKeep);
}

void OnTimer(HWND window, UINT id) {
    if (id != kDebounceTimer) return;
    KillTimer(window, kDebounceTimer);
    Apply(window, keeper->schedule.OnTimer());
}

// The log's line and the tooltip for a finished restore.
void Report(Trigger trigger, const RestoreOutcome& outcome) {
    const std::string time = LocalTimeText();
    AppendToKeeperLog(KeeperLogLine(time, trigger, outcome.printed, outcome.exitCode));
    keeper->tray.SetTip(WideFromUtf8(KeeperTooltip(time, outcome.exitCode)));
}

// The schedule lets one restore run at a time: triggers and timers that come during its waits
// are only noted. The window may be gone by its end, when it was closed meanwhile.
void RunRestore(HWND window) {
    const Trigger trigger = keeper->schedule.Running();
    Report(trigger, keeper->restore(keeper->waits));
    if (IsWindow(window)) keeper->notifications.Register(window);
    Apply(window, keeper->schedule.OnRestoreFinished());
    keeper->waits.PassOnQuit();
}

void OnTrayEvent(HWND window, WPARAM anchor, LPARAM event) {
    if (LOWORD(event) == WM_CONTEXTMENU) {
        keeper->tray.ShowMenu(window, {GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)});
    }
}

void OnCommand(HWND window, int id, HWND, UINT) {
    switch (id) {
        case kOpenPanelCommand:
            OpenPanel();
            break;
        case kRestoreNowCommand:
            OnTrigger(window, Trigger::kTrayMenu);
            break;
        case kExitCommand:
            DestroyWindow(window);
            break;
    }
}

void OnEndSession(HWND window, BOOL ending) {
    if (ending) DestroyWindow(window);
}

void OnDestroy(HWND window) {
    KillTimer(window, kDebounceTimer);
    keeper->tray.Remove();
    keeper->notifications.Unregister(window);
    PostQuitMessage(0);
}

LRESULT CALLBACK KeeperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A new taskbar (Explorer restarted) has no icons: the keeper's goes back.
    if (keeper->taskbarCreated != 0 && message == keeper->taskbarCreated) {
        keeper->tray.Add(window, kTrayMessage);
        return 0;
    }
    switch (message) {
        HANDLE_MSG(window, WM_TIMER, OnTimer);
        HANDLE_MSG(window, WM_COMMAND, OnCommand);
        HANDLE_MSG(window, WM_ENDSESSION, OnEndSession);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
        case WM_POWERBROADCAST:
            return OnPowerBroadcast(window, wParam);
        case WM_DEVICECHANGE:
            return OnDeviceChange(window, wParam, lParam);
        case WM_WTSSESSION_CHANGE:
            OnSessionChange(window, wParam);
            return 0;
        case kKeeperRestoreNowMessage:
            OnRestoreNow(window, wParam);
            return 0;
        case kTrayMessage:
            OnTrayEvent(window, wParam, lParam);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHiddenWindow() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = KeeperWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kKeeperWindowClass;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(WS_EX_TOOLWINDOW, kKeeperWindowClass, L"VOXA LED Lumivar", WS_OVERLAPPED,
                           0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

}  // namespace

int RunKeeperWindow(RestoreFunction restore) {
    KeeperState state(std::move(restore));
    keeper = &state;
    const HWND window = CreateHiddenWindow();
    if (window == nullptr) return 1;
    // A keeper started elevated still hears the taskbar, a second keep and `logon disable`, which
    // run unelevated.
    for (const UINT message : {state.taskbarCreated, kKeeperRestoreNowMessage, UINT{WM_CLOSE}}) {
        ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
    }
    state.notifications.Register(window);
    state.tray.Add(window, kTrayMessage);
    Apply(window, state.schedule.Start());
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    keeper = nullptr;
    return static_cast<int>(message.wParam);
}
