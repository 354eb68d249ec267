// The keeper's log file: %LOCALAPPDATA%\VOXA\LED Lumivar\keeper.log, machine-local, as a log is.
#pragma once

#include <string>

// Adds one line; a log that cannot be written is no reason to stop restoring.
void AppendToKeeperLog(const std::string& line);
// "2024-05-01 12:34:56", local time.
std::string LocalTimeText();
