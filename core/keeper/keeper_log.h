// The keeper's short log, for users who ask why the lights did not come back: one line per
// restore, the file never above 64 KB.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/keeper/keeper_triggers.h"

constexpr size_t kKeeperLogLimit = 64 * 1024;

// "2024-05-01 12:34:56 resume: GPU 0 (NVIDIA GeForce RTX 3080): restored ...; GPU 1 (...): ..."
// from what the restore printed; " (exit 3)" ends a failed one. No line end.
std::string KeeperLogLine(const std::string& time, Trigger trigger,
                          const std::vector<std::string>& printed, int exitCode);
// The log with the line added at its end, ended by `lineEnd` (the system's own: "\r\n" on
// Windows, "\n" on Linux): when it would go above the limit, the older half goes first, cut at a
// line's start. A line longer than half the limit is cut short.
std::string LogWithLine(const std::string& log, const std::string& line, const char* lineEnd,
                        size_t limit = kKeeperLogLimit);
