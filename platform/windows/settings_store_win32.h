// The settings file on Windows: %APPDATA%\VOXA\LED Lumivar\settings.json, replaced whole by a
// finished file beside it, changed under a named mutex. The panel and lumivar.exe share it.
#pragma once

#include <string>

#include "core/settings/settings_store.h"

class WindowsSettingsStore final : public SettingsStore {
  public:
    std::string FileName() override;
    FileRead Read(std::string& text, std::string& error) override;
    bool Write(const std::string& text, std::string& error) override;
    InterProcessLock& UpdateLock() override;
};

// The process's one store.
WindowsSettingsStore& ProcessSettingsStore();
