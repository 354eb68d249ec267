#include "cli/windows/keeper_window.h"

#include <windows.h>
#include <windowsx.h>
#include <wtsapi32.h>

#include <optional>
#include <string>

#include "cli/commands/exit_codes.h"
#include "cli/commands/keeper_send.h"
#include "cli/windows/answering_waits.h"
#include "cli/windows/keeper_log_file.h"
#include "cli/windows/system_notifications.h"
#include "cli/windows/tray_icon.h"
#include "core/keeper/keeper.h"
#include "platform/windows/keeper_at_logon.h"
#include "platform/windows/keeper_program.h"
#include "platform/windows/utf8_text.h"

namespace {

constexpr UINT kTrayMessage = WM_APP + 3;

// One window timer per keeper timer; each is one shot.
UINT_PTR TimerId(KeeperTimer timer) {
    return static_cast<UINT_PTR>(timer) + 1;
}

// The portable keeper's Windows side: window timers, the sends with waits that answer the
// window, the log file and the tray's tooltip.
class WindowsKeeper final : public KeeperSystem {
  public:
    explicit WindowsKeeper(CliHost& host) : sender_(host, waits_), host_(host) {}

    void ArmTimer(KeeperTimer timer, unsigned milliseconds) override {
        if (IsWindow(window)) SetTimer(window, TimerId(timer), milliseconds, nullptr);
    }
    void StopTimer(KeeperTimer timer) override {
        if (IsWindow(window)) KillTimer(window, TimerId(timer));
    }
    SendOutcome Send(const KeeperSend& send) override {
        SendOutcome outcome = sender_.Send(send);
        // Early in a logon the session service may not answer: asked again after each send.
        if (IsWindow(window)) notifications.Register(window);
        waits_.PassOnQuit();
        return outcome;
    }
    TemperatureLook LookAtTemperatures(const KeeperConditions& conditions) override {
        return sender_.LookAtTemperatures(conditions);
    }
    void StopFollowing() override { sender_.StopFollowing(); }
    LocalTime Now() override { return LocalTimeNow(); }
    void Log(const std::string& line) override {
        AppendToKeeperLog(line);
        host_.PrintError(line);
    }
    void Sent(const std::string& time, int exitCode) override {
        tray.SetTip(KeeperTooltip(WideFromUtf8(time), exitCode));
    }

    HWND window = nullptr;
    Keeper keeper{*this};
    TrayIcon tray;
    SystemNotifications notifications;
    UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

  private:
    AnsweringWaits waits_;
    KeeperSender sender_;
    CliHost& host_;
};

// The process's one keeper, while its window runs.
WindowsKeeper* running = nullptr;

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

LRESULT OnPowerBroadcast(WPARAM event, LPARAM data) {
    if (const std::optional<Trigger> trigger = PowerTrigger(event)) {
        running->keeper.OnTrigger(*trigger);
    } else if (const std::optional<bool> on = ConsoleDisplayOn(event, data)) {
        running->keeper.OnDisplay(*on);
    }
    return TRUE;
}

void OnSessionChange(WPARAM event) {
    if (event == WTS_SESSION_LOCK || event == WTS_SESSION_UNLOCK) {
        running->keeper.OnSessionLocked(event == WTS_SESSION_LOCK);
    } else if (const std::optional<Trigger> trigger = SessionTrigger(event)) {
        running->keeper.OnTrigger(*trigger);
    }
}

LRESULT OnDeviceChange(WPARAM event, LPARAM data) {
    if (IsDisplayAdapterArrival(event, data)) running->keeper.OnTrigger(Trigger::kDisplayAdapter);
    return TRUE;
}

void OnRestoreNow(WPARAM request) {
    if (request == kKeeperRestoreNowRequest) running->keeper.OnTrigger(Trigger::kSecondKeep);
}

void OnSettingsChanged(WPARAM request) {
    if (request == kKeeperSettingsChangedRequest) running->keeper.OnTrigger(Trigger::kSettings);
}

void OnTimer(HWND window, UINT id) {
    for (const KeeperTimer timer :
         {KeeperTimer::kGather, KeeperTimer::kBoundary, KeeperTimer::kSample}) {
        if (id != TimerId(timer)) continue;
        KillTimer(window, id);
        running->keeper.OnTimer(timer);
    }
}

void OnTrayEvent(HWND window, WPARAM anchor, LPARAM event) {
    if (LOWORD(event) == WM_CONTEXTMENU) {
        running->tray.ShowMenu(window, {GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)});
    }
}

void OnCommand(HWND window, int id, HWND, UINT) {
    switch (id) {
        case kOpenPanelCommand:
            OpenPanel();
            break;
        case kRestoreNowCommand:
            running->keeper.OnTrigger(Trigger::kTrayMenu);
            break;
        case kExitCommand:
            DestroyWindow(window);
            break;
    }
}

void OnEndSession(HWND window, BOOL ending) {
    if (ending) DestroyWindow(window);
}

void OnTimeChange(HWND) {
    running->keeper.OnClockChanged();
}

void OnDestroy(HWND window) {
    for (const KeeperTimer timer :
         {KeeperTimer::kGather, KeeperTimer::kBoundary, KeeperTimer::kSample}) {
        KillTimer(window, TimerId(timer));
    }
    running->tray.Remove();
    running->notifications.Unregister(window);
    PostQuitMessage(kExitDone);
}

LRESULT CALLBACK KeeperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A new taskbar (Explorer restarted) has no icons: the keeper's goes back.
    if (running->taskbarCreated != 0 && message == running->taskbarCreated) {
        running->tray.Add(window, kTrayMessage);
        return 0;
    }
    switch (message) {
        HANDLE_MSG(window, WM_TIMER, OnTimer);
        HANDLE_MSG(window, WM_COMMAND, OnCommand);
        HANDLE_MSG(window, WM_ENDSESSION, OnEndSession);
        HANDLE_MSG(window, WM_TIMECHANGE, OnTimeChange);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
        case WM_POWERBROADCAST:
            return OnPowerBroadcast(wParam, lParam);
        case WM_DEVICECHANGE:
            return OnDeviceChange(wParam, lParam);
        case WM_WTSSESSION_CHANGE:
            OnSessionChange(wParam);
            return 0;
        case kKeeperRestoreNowMessage:
            OnRestoreNow(wParam);
            return 0;
        case kKeeperSettingsChangedMessage:
            OnSettingsChanged(wParam);
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

int RunKeeperWindow(CliHost& host) {
    WindowsKeeper state(host);
    running = &state;
    state.window = CreateHiddenWindow();
    if (state.window == nullptr) {
        const DWORD error = GetLastError();
        state.Log(LocalTimeNow().text + " lumivar keep: cannot create its window (error " +
                  std::to_string(error) + ")");
        running = nullptr;
        return kExitKeeperFailed;
    }
    // A keeper started elevated still hears the taskbar, a second keep and `logon disable`, which
    // run unelevated.
    for (const UINT message : {state.taskbarCreated, kKeeperRestoreNowMessage,
                               kKeeperSettingsChangedMessage, UINT{WM_CLOSE}}) {
        ChangeWindowMessageFilterEx(state.window, message, MSGFLT_ALLOW, nullptr);
    }
    state.notifications.Register(state.window);
    state.tray.Add(state.window, kTrayMessage);
    state.keeper.Start();
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    running = nullptr;
    return static_cast<int>(message.wParam);
}
