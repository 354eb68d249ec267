// lumivar.exe's command line: the option table, and every value checked before the driver is
// touched. The mode alone waits for the board, whose own list decides it.
#pragma once

#include <string>
#include <vector>

#include "cli/apply_options.h"

enum class Command { kHelp, kVersion, kList, kApply, kReset, kRestore, kLogon };
enum class LogonAction { kEnable, kDisable, kStatus };

// A slot number from `lumivar list`, or every supported board.
struct GpuChoice {
    bool all = false;
    int slot = 0;
};

struct Invocation {
    Command command = Command::kHelp;
    GpuChoice gpu;         // apply, reset
    ApplyOptions options;  // apply
    bool save = false;     // apply
    int waitSeconds = 0;   // restore
    LogonAction logon = LogonAction::kStatus;
};

struct ParsedCommandLine {
    bool ok = false;
    Invocation invocation;
    std::string error;  // in plain words
};

// The arguments after the program's name, in UTF-8.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The longest `restore --wait` there is: a day.
constexpr int kMaxWaitSeconds = 86400;

std::string UsageText();
std::string VersionText();
