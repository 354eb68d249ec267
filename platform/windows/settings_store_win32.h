// The settings file on Windows: %APPDATA%\VOXA\LED Lumivar\settings.json, replaced whole by a
// finished file beside it, changed under a named mutex. The panel and lumivar.exe share it. A
// file another program holds open for a moment is waited for, a few seconds at most.
#pragma once

#include <windows.h>

#include <string>

#include "core/settings/settings_store.h"

class WindowsSettingsStore final : public SettingsStore {
  public:
    std::string FileName() override;
    FileRead Read(std::string& text, std::string& error) override;
    bool Write(const std::string& text, std::string& error) override;
    InterProcessLock& UpdateLock() override;
    // Whether the last Read or Write failed only because other programs kept the file open past
    // the wait: the file is as it was, and a later save may succeed.
    bool LastFailureInUse() const { return lastFailureInUse_; }

  private:
    // The message for a failed read or replace; `waited` when it was tried again for the wait.
    std::string Failure(DWORD problem, bool waited);

    bool lastFailureInUse_ = false;
};

// The process's one store.
WindowsSettingsStore& ProcessSettingsStore();
