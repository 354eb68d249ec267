// The board commands' host on Windows: the process's driver, the console (or, for lumivarw.exe,
// whatever the standard handles lead to), the settings file under %APPDATA%, the named mutexes
// and the system's clock.
#pragma once

#include <string>

#include "cli/commands/cli_host.h"

class WindowsHost final : public CliHost {
  public:
    nvapi::NvApiAccess& Driver() override;
    void Print(const std::string& line) override;
    void PrintError(const std::string& line) override;
    SettingsStore& Settings() override;
    InterProcessLock& BoardLock() override;
    void Sleep(unsigned milliseconds) override;
    uint64_t Milliseconds() override;
    void SettingsChanged() override;
};
