// What the keeper asks the system to tell its window: resumes (besides the power broadcast every
// top-level window gets), session changes and display adapters arriving.
#pragma once

#include <windows.h>

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
};

// A WM_DEVICECHANGE that says a display adapter has arrived.
bool IsDisplayAdapterArrival(WPARAM event, LPARAM data);
