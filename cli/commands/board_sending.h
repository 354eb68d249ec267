// What the commands that reach the boards share: a board's lighting planned from options and
// sent under the board lock, the settings read, and the wait for a driver that is not up yet.
// The board commands and the keeper's sends both stand on it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/commands/boards.h"
#include "cli/commands/cli_host.h"
#include "cli/commands/driver_session.h"
#include "core/led/led_settings.h"
#include "core/rules/panel_rules.h"
#include "core/settings/settings_file.h"

// Retried this often while a command waits for the driver.
constexpr unsigned kDriverRetryMilliseconds = 500;

// "lumivar: MESSAGE" on standard error; returns the exit code.
int Fail(CliHost& host, int exitCode, const std::string& message);

// One board's part of a command, settled before anything is sent to any board.
struct BoardStep {
    const Board* board = nullptr;
    ApplyReadings controls;
    LedSettings settings;
    ApplyOptions saved;          // the options, the mode as the board's list names it
    std::optional<int> celsius;  // the temperature a following colour came from
};

// The GPU's temperature now when the options follow it; nothing otherwise, or when it cannot be
// read.
std::optional<int> TemperatureFor(const DriverSession& session, const Board& board,
                                  const ApplyOptions& options);

// What apply sends to one board: the options (a colour that follows the temperature taken at
// `celsius`) become the panel's controls and the panel's settings. A mode the board lacks gives
// `badModeCode` and names its modes.
int PlanBoard(const Board& board, const ApplyOptions& options, std::optional<int> celsius,
              int badModeCode, CliHost& host, BoardStep& step);
// The panel's transfers for the step, the board held for this program alone; the pause between
// two family-2000 blocks is the host's.
int SendBoard(CliHost& host, const DriverSession& session, const BoardStep& step);
// "wave, colour ff0000, ..." and, for a colour that follows the temperature, where it came from.
std::string DescribeStep(const BoardStep& step);

// The settings as the file holds them now; an absent file is an empty one (`found` false).
int LoadSaved(CliHost& host, SavedSettings& saved, bool& found);

// Early in a logon the driver may not be up yet: tried again until it is, the time is over, or
// the keeper is ending.
std::unique_ptr<DriverSession> WaitForDriver(CliHost& host, int waitSeconds);
