// The keeper's log file on Linux: $XDG_STATE_HOME/lumivar/keeper.log (~/.local/state/...), as
// the state of one machine is kept.
#pragma once

#include <string>

#include "core/keeper/keeper.h"
#include "platform/linux/keeper_contact.h"

// Adds one line; a log that cannot be written is no reason to stop restoring.
void AppendToKeeperLog(const std::string& line);
// True when standard error already leads to the log (a keeper started by `logon enable`), so
// that a line is not written there twice.
bool StandardErrorIsTheLog();
// "2024-05-01 12:34:56" and the second of the day, local time (the time zone read again).
LocalTime LocalTimeNow();
