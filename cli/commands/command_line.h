// lumivar's command line: the option table, and every value checked before the driver is
// touched. The mode alone waits for the board, whose own list decides it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/settings/apply_options.h"
#include "core/settings/lights_out.h"

enum class Command {
    kHelp,
    kVersion,
    kList,
    kApply,
    kReset,
    kRestore,
    kLogon,
    kKeep,
    kLightsOut,
    kDoctor,
};
enum class LogonAction { kEnable, kDisable, kStatus };

// A slot number from `lumivar list`, or every supported board.
struct GpuChoice {
    bool all = false;
    int slot = 0;
};

// The commands are the same everywhere; Linux adds the choice of the I2C adapter.
enum class CommandLineFor { kWindows, kLinux };

struct Invocation {
    Command command = Command::kHelp;
    GpuChoice gpu;         // apply, reset
    ApplyOptions options;  // apply
    bool save = false;     // apply
    int waitSeconds = 0;   // restore
    bool dryRun = false;   // apply, reset, restore: print the transfers, send and save nothing
    LogonAction logon = LogonAction::kStatus;
    std::optional<LightsOutRule> lightsOut;  // lights-out: the rule to store; none: print it
    bool json = false;                       // doctor: one JSON document instead of lines
    std::optional<int> i2cBus;  // Linux: /dev/i2c-N instead of the search for the controller
};

struct ParsedCommandLine {
    bool ok = false;
    Invocation invocation;
    std::string error;  // in plain words
};

// The arguments after the program's name, in UTF-8.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                                   CommandLineFor platform = CommandLineFor::kWindows);

// The longest `restore --wait` there is: a day.
constexpr int kMaxWaitSeconds = 86400;

std::string UsageText(CommandLineFor platform = CommandLineFor::kWindows);
std::string VersionText();
