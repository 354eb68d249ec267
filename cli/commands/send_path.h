// The one path of every command that reaches the boards (apply, reset, restore, the keeper's
// sends): each board's part is planned first, down to its transfers, before anything is sent to
// any board; then the steps go in order to a sender, the driver's (under the board lock) or the
// dry run's printer. A new command plans its steps (PlanBoard, PlanResetStep, PlanProbeStep),
// makes its sender (MakeSender) and hands both to SendSteps.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands/boards.h"
#include "cli/commands/cli_host.h"
#include "cli/commands/driver_session.h"
#include "core/led/led_commands.h"
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
    ApplyOptions saved;                    // the options, the mode as the board's list names it
    std::optional<int> celsius;            // the temperature a following colour came from
    std::vector<led::Transfer> transfers;  // what the board is sent, in order
};

// The GPU's temperature now when the options follow it; nothing otherwise, or when it cannot be
// read.
std::optional<int> TemperatureFor(const DriverSession& session, const Board& board,
                                  const ApplyOptions& options);

// What apply sends to one board: the options (a colour that follows the temperature taken at
// `celsius`) become the panel's controls, the panel's settings and their transfers. A mode the
// board lacks gives `badModeCode` and names its modes.
int PlanBoard(const Board& board, const ApplyOptions& options, std::optional<int> celsius,
              int badModeCode, CliHost& host, BoardStep& step);
// What the panel's Reset sends to one board.
BoardStep PlanResetStep(const Board& board);
// The template probe's read alone: whether the board's controller answers; nothing is written.
BoardStep PlanProbeStep(const Board& board);
// "wave, colour ff0000, ..." and, for a colour that follows the temperature, where it came from.
std::string DescribeStep(const BoardStep& step);

// Where a command's steps go.
class BoardSender {
  public:
    virtual ~BoardSender() = default;
    // One board's transfers, in order; the exit code (the failure said).
    virtual int Send(const BoardStep& step) = 0;
    // True when nothing reaches a board: the lines then say what would be done.
    virtual bool DryRun() const = 0;
};

// The driver's sender (each board's sequence under the board lock, the pause between two blocks
// the host's), or with `dryRun` the printer of each transfer.
std::unique_ptr<BoardSender> MakeSender(CliHost& host, const DriverSession& session, bool dryRun);

// The steps in order: an unsupported board is said to be skipped, and a keeper that is ending
// begins no further board. `sent(i, code)` is called for each step handed to the sender, with
// its exit code (0: it reached its board, or would have); the codes of the failures are
// returned.
std::vector<int> SendSteps(const std::vector<BoardStep>& steps, BoardSender& sender, CliHost& host,
                           const std::function<void(size_t, int)>& sent);

// `done` ("applied"), or in a dry run `wouldDo` ("would apply").
std::string Outcome(const BoardSender& sender, const std::string& done, const std::string& wouldDo);

// The settings as the file holds them now; an absent file is an empty one (`found` false).
int LoadSaved(CliHost& host, SavedSettings& saved, bool& found);
