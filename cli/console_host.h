// The board commands' host on Windows: the process's driver, the console, the settings file under
// %APPDATA% and the system's clock.
#pragma once

#include <string>

#include "cli/cli_host.h"

class WindowsHost final : public CliHost {
  public:
    nvapi::NvApiAccess& Driver() override;
    void Print(const std::string& line) override;
    void PrintError(const std::string& line) override;
    std::string SettingsFileName() override;
    FileRead ReadSettingsFile(std::string& text, std::string& error) override;
    bool WriteSettingsFile(const std::string& text, std::string& error) override;
    void Sleep(unsigned milliseconds) override;
    uint64_t Milliseconds() override;
};
