#include "cli/windows/system_notifications.h"

#include <dbt.h>
#include <wtsapi32.h>

#include <cstring>

namespace {

// GUID_DEVINTERFACE_DISPLAY_ADAPTER
constexpr GUID kDisplayAdapterInterface = {
    0x5B45201D, 0xF2F2, 0x4F3B, {0x85, 0xBB, 0x30, 0xFF, 0x1F, 0x95, 0x35, 0x99}};
// GUID_CONSOLE_DISPLAY_STATE: its data is a DWORD, 0 off, 1 on, 2 dimmed.
constexpr GUID kConsoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
constexpr DWORD kDisplayOff = 0;

// Windows 8 and later; found at run time, so the keeper also starts on Windows 7.
using RegisterSuspendResumeFn = void*(WINAPI*)(HANDLE recipient, DWORD flags);
using UnregisterSuspendResumeFn = BOOL(WINAPI*)(void* registration);

template <typename Fn>
Fn User32Function(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

void SystemNotifications::Register(HWND window) {
    if (!session_) session_ = WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION);
    if (displayAdapters_ == nullptr) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = kDisplayAdapterInterface;
        displayAdapters_ =
            RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    // Answered at once with the display's state now, then at each change.
    if (consoleDisplay_ == nullptr) {
        consoleDisplay_ = RegisterPowerSettingNotification(window, &kConsoleDisplayState,
                                                           DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    const auto registerSuspendResume =
        User32Function<RegisterSuspendResumeFn>("RegisterSuspendResumeNotification");
    if (suspendResume_ == nullptr && registerSuspendResume != nullptr) {
        suspendResume_ = registerSuspendResume(window, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
}

void SystemNotifications::Unregister(HWND window) {
    if (session_) WTSUnRegisterSessionNotification(window);
    if (displayAdapters_ != nullptr) UnregisterDeviceNotification(displayAdapters_);
    if (consoleDisplay_ != nullptr) UnregisterPowerSettingNotification(consoleDisplay_);
    const auto unregisterSuspendResume =
        User32Function<UnregisterSuspendResumeFn>("UnregisterSuspendResumeNotification");
    if (suspendResume_ != nullptr && unregisterSuspendResume != nullptr) {
        unregisterSuspendResume(suspendResume_);
    }
    *this = SystemNotifications();
}

bool IsDisplayAdapterArrival(WPARAM event, LPARAM data) {
    if (event != DBT_DEVICEARRIVAL || data == 0) return false;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    return header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE &&
           IsEqualGUID(
               reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(data)->dbcc_classguid,
               kDisplayAdapterInterface);
}

std::optional<Trigger> PowerTrigger(WPARAM event) {
    // PBT_APMRESUMEAUTOMATIC comes with every resume, PBT_APMRESUMESUSPEND after the user's input.
    if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) return Trigger::kResume;
    return std::nullopt;
}

std::optional<Trigger> SessionTrigger(WPARAM event) {
    switch (event) {
        case WTS_SESSION_LOGON:
            return Trigger::kLogon;
        case WTS_CONSOLE_CONNECT:
            return Trigger::kConsoleConnect;
        case WTS_REMOTE_CONNECT:
            return Trigger::kRemoteConnect;
    }
    return std::nullopt;
}

std::optional<bool> ConsoleDisplayOn(WPARAM event, LPARAM data) {
    if (event != PBT_POWERSETTINGCHANGE || data == 0) return std::nullopt;
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    if (!IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) ||
        setting->DataLength < sizeof(DWORD)) {
        return std::nullopt;
    }
    DWORD state = 0;
    std::memcpy(&state, setting->Data, sizeof state);
    return state != kDisplayOff;
}
