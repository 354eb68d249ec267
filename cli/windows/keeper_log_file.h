// The keeper's log file: %LOCALAPPDATA%\VOXA\LED Lumivar\keeper.log, machine-local, as a log is.
#pragma once

#include <string>

#include "core/keeper/keeper.h"

// Adds one line; a log that cannot be written is no reason to stop restoring.
void AppendToKeeperLog(const std::string& line);
// "2024-05-01 12:34:56" and the second of the day, local time.
LocalTime LocalTimeNow();
