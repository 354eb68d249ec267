// What the board commands need from the machine they run on: the driver, the console, the
// settings file and the clock. lumivar.exe gives the Windows ones; tests give their own.
#pragma once

#include <cstdint>
#include <string>

#include "core/nvapi/nvapi_access.h"

enum class FileRead { kAbsent, kRead, kFailed };

class CliHost {
  public:
    virtual ~CliHost() = default;

    virtual nvapi::NvApiAccess& Driver() = 0;
    // One line of UTF-8 text, without its line end, to stdout or stderr.
    virtual void Print(const std::string& line) = 0;
    virtual void PrintError(const std::string& line) = 0;

    // Where the settings are kept, as messages name it.
    virtual std::string SettingsFileName() = 0;
    // An absent file (or folder) means nothing is saved yet; kFailed comes with the reason.
    virtual FileRead ReadSettingsFile(std::string& text, std::string& error) = 0;
    // All or nothing: the old file stays whole until the new one replaces it.
    virtual bool WriteSettingsFile(const std::string& text, std::string& error) = 0;

    virtual void Sleep(unsigned milliseconds) = 0;
    virtual uint64_t Milliseconds() = 0;  // a steady clock
};
