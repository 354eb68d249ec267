// What the keeper asks the system to tell its window: resumes (besides the power broadcast every
// top-level window gets), session changes, display adapters arriving, and the console's display
// going off and on.
#pragma once

#include <windows.h>

#include <optional>

#include "core/keeper/keeper_triggers.h"

class SystemNotifications {
  public:
    // Each registration that has not gone through yet: early in a logon the session service may
    // not answer, so the keeper asks again after each restore.
    void Register(HWND window);
    void Unregister(HWND window);

  private:
    bool session_ = false;
    HDEVNOTIFY displayAdapters_ = nullptr;
    void* suspendResume_ = nullptr;
    HPOWERNOTIFY consoleDisplay_ = nullptr;
};

// A WM_POWERBROADCAST resume from sleep or hibernation; every other power event (suspend,
// battery) is none.
std::optional<Trigger> PowerTrigger(WPARAM event);
// A WM_WTSSESSION_CHANGE logon, console or remote connect; locks, unlocks and disconnects are
// none (a lock and an unlock change whether the user is away).
std::optional<Trigger> SessionTrigger(WPARAM event);
// A WM_POWERBROADCAST PBT_POWERSETTINGCHANGE for the console's display: whether it is on (dimmed
// counts as on); nothing for any other setting.
std::optional<bool> ConsoleDisplayOn(WPARAM event, LPARAM data);
// A WM_DEVICECHANGE that says a display adapter has arrived.
bool IsDisplayAdapterArrival(WPARAM event, LPARAM data);
