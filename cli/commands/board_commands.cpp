#include "cli/commands/board_commands.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "cli/commands/driver_session.h"
#include "cli/commands/exit_codes.h"
#include "core/led/led_commands.h"
#include "core/settings/settings_file.h"
#include "core/rules/panel_rules.h"

namespace {

int Fail(CliHost& host, int exitCode, const std::string& message) {
    host.PrintError("lumivar: " + message);
    return exitCode;
}

// One board's part of a command, settled before anything is sent to any board.
struct Step {
    const Board* board = nullptr;
    ApplyReadings controls;
    LedSettings settings;
    ApplyOptions saved;  // the options, the mode as the board's list names it
};

std::string FamilyText(const Board& board) {
    return board.supported ? std::to_string(board.family) : "unsupported";
}

// The boards a command addresses, in slot order. --gpu all keeps the unsupported ones, to say
// that they were skipped.
int SelectBoards(const GpuChoice& gpu, const std::vector<Board>& boards, CliHost& host,
                 std::vector<const Board*>& selected) {
    if (gpu.all) {
        for (const Board& board : boards) selected.push_back(&board);
        if (std::none_of(boards.begin(), boards.end(),
                         [](const Board& b) { return b.supported; })) {
            return Fail(host, kExitNoSuchGpu, "no GPU holds a supported board");
        }
        return kExitDone;
    }
    if (static_cast<size_t>(gpu.slot) >= boards.size()) {
        return Fail(host, kExitNoSuchGpu,
                    "there is no GPU " + std::to_string(gpu.slot) + " (lumivar list shows them)");
    }
    const Board& board = boards[static_cast<size_t>(gpu.slot)];
    if (!board.supported)
        return Fail(host, kExitNoSuchGpu, board.Label() + " is not a supported board");
    selected.push_back(&board);
    return kExitDone;
}

// What apply sends to one board. A mode the board lacks gives `badModeCode` and names its modes.
int PlanApply(const Board& board, const ApplyOptions& options, int badModeCode, CliHost& host,
              Step& step) {
    step.board = &board;
    step.saved = options;
    std::optional<int> position;
    if (options.mode) {
        position = FindModePosition(board.family, *options.mode);
        if (!position) {
            std::string modes;
            for (const std::string& name : ModeNames(board.family)) {
                modes += (modes.empty() ? "" : ", ") + name;
            }
            return Fail(
                host, badModeCode,
                board.Label() + " has no mode '" + *options.mode + "'; its modes are " + modes);
        }
        step.saved.mode = ModeNames(board.family)[static_cast<size_t>(*position)];
    }
    step.controls = ControlsForOptions(board.family, board.supported, position, options);
    step.settings = GatherLedSettings(board.family, step.controls);
    return kExitDone;
}

// The panel's transfers for these settings, the board held for this program alone; the pause
// between two family-2000 blocks is the host's.
int Send(CliHost& host, const DriverSession& session, const Board& board,
         const LedSettings& settings) {
    const HeldLock lock(host.BoardLock());
    if (!lock.Held()) {
        return Fail(host, kExitDriverFailed, board.Label() + ": nothing sent: " + lock.Error());
    }
    const NvAPI_Status status = led::SendLedCommand(
        session.Api(), board.target, settings,
        [&host](unsigned milliseconds) { host.Sleep(milliseconds); }, host.OnProbeFailure());
    if (status == NVAPI_OK) return kExitDone;
    return Fail(host, kExitDriverFailed,
                board.Label() + ": " + host.TransferFailure(board, status));
}

// The settings as the file holds them now; an absent file is an empty one.
int LoadSaved(CliHost& host, SavedSettings& saved, bool& found) {
    std::string error;
    const SettingsOutcome outcome = LoadSettings(host.Settings(), saved, error);
    found = outcome == SettingsOutcome::kDone;
    if (outcome == SettingsOutcome::kUnreadable) return Fail(host, kExitSettingsFile, error);
    return kExitDone;
}

int RunList(CliHost& host) {
    const DriverSession session(host.Driver());
    if (!session.Found()) return Fail(host, kExitDriverFailed, session.FailureText());
    for (const Board& board : session.Boards()) {
        const std::optional<std::string> field = host.ListField(board);
        host.Print(std::to_string(board.slot) + " " + std::to_string(board.key.bus) + " " +
                   PciText(board.key.pciId) + " " + FamilyText(board) + " " +
                   (field ? *field + " " : "") + board.name);
    }
    return kExitDone;
}

int RunApply(const Invocation& invocation, CliHost& host) {
    // A settings file that cannot be read stops the command before anything is sent.
    if (invocation.save) {
        SavedSettings saved;
        bool found = false;
        if (const int code = LoadSaved(host, saved, found)) return code;
    }
    const DriverSession session(host.Driver());
    if (!session.Found()) return Fail(host, kExitDriverFailed, session.FailureText());
    std::vector<const Board*> selected;
    if (const int code = SelectBoards(invocation.gpu, session.Boards(), host, selected))
        return code;

    std::vector<Step> steps(selected.size());
    for (size_t i = 0; i < selected.size(); ++i) {
        steps[i].board = selected[i];
        if (!selected[i]->supported) continue;
        if (const int code =
                PlanApply(*selected[i], invocation.options, kExitBadUsage, host, steps[i])) {
            return code;
        }
    }

    std::vector<int> codes;
    for (const Step& step : steps) {
        const Board& board = *step.board;
        if (!board.supported) {
            host.Print(board.Label() + ": skipped, not a supported board");
            continue;
        }
        if (const int code = Send(host, session, board, step.settings)) {
            codes.push_back(code);
            continue;
        }
        std::string line =
            board.Label() + ": applied " + DescribeControls(board.family, step.controls);
        if (invocation.save) {
            // Read again under the lock: another program may have saved since.
            std::string error;
            const SavedBoard entry{board.key, step.saved};
            const SettingsOutcome outcome = UpdateSettings(
                host.Settings(), [&entry](SavedSettings& s) { RememberBoard(s, entry); }, error);
            if (outcome != SettingsOutcome::kDone) {
                host.Print(line);
                codes.push_back(Fail(host, kExitSettingsFile,
                                     outcome == SettingsOutcome::kUnreadable
                                         ? error
                                         : "cannot save the settings: " + error));
                continue;
            }
            line += "; saved";
        }
        host.Print(line);
    }
    return HighestExitCode(codes);
}

int RunReset(const Invocation& invocation, CliHost& host) {
    const DriverSession session(host.Driver());
    if (!session.Found()) return Fail(host, kExitDriverFailed, session.FailureText());
    std::vector<const Board*> selected;
    if (const int code = SelectBoards(invocation.gpu, session.Boards(), host, selected))
        return code;
    std::vector<int> codes;
    for (const Board* board : selected) {
        if (!board->supported) {
            host.Print(board->Label() + ": skipped, not a supported board");
            continue;
        }
        const ResetPlan plan = PlanReset(board->family, board->supported);
        const int code = Send(host, session, *board, plan.sent);
        if (code == kExitDone) host.Print(board->Label() + ": reset to white, static");
        codes.push_back(code);
    }
    return HighestExitCode(codes);
}

// Early in a logon the driver may not be up yet: try again until it is, or the time is over.
std::unique_ptr<DriverSession> WaitForDriver(CliHost& host, int waitSeconds) {
    const uint64_t limit = static_cast<uint64_t>(waitSeconds) * 1000;
    const uint64_t start = host.Milliseconds();
    for (;;) {
        auto session = std::make_unique<DriverSession>(host.Driver());
        const uint64_t waited = host.Milliseconds() - start;
        if (!session->NotReadyYet() || waited >= limit || host.Stopping()) return session;
        session.reset();
        host.Sleep(
            static_cast<unsigned>(std::min<uint64_t>(kDriverRetryMilliseconds, limit - waited)));
    }
}

int RunRestore(const Invocation& invocation, CliHost& host) {
    SavedSettings saved;
    bool found = false;
    if (const int code = LoadSaved(host, saved, found)) return code;
    if (!found) {
        host.Print("nothing is saved yet");
        return kExitDone;
    }
    const std::unique_ptr<DriverSession> session = WaitForDriver(host, invocation.waitSeconds);
    if (!session->Found()) {
        const std::string waited =
            host.Stopping() ? "stopped waiting, the keeper is ending: "
            : invocation.waitSeconds > 0
                ? "gave up after " + std::to_string(invocation.waitSeconds) + " s: "
                : "";
        return Fail(host, kExitDriverFailed, waited + session->FailureText());
    }
    const std::vector<Board>& boards = session->Boards();
    std::vector<BoardKey> keys;
    for (const Board& board : boards) keys.push_back(board.key);
    const RestorePlan plan = PlanRestore(saved, keys);

    // A saved board that is no supported board, or a saved mode the board lacks, is the file's
    // fault (written by hand): nothing is sent then.
    std::vector<Step> steps(plan.steps.size());
    for (size_t i = 0; i < plan.steps.size(); ++i) {
        const Board& board = boards[static_cast<size_t>(plan.steps[i].slot)];
        if (!board.supported) {
            return Fail(host, kExitSettingsFile,
                        "the settings file names " + board.Label() + ", not a supported board");
        }
        if (const int code =
                PlanApply(board, plan.steps[i].options, kExitSettingsFile, host, steps[i])) {
            return code;
        }
    }
    std::vector<int> codes;
    for (const Step& step : steps) {
        const Board& board = *step.board;
        if (host.Stopping()) {
            codes.push_back(Fail(host, kExitDriverFailed,
                                 board.Label() + ": not restored, the keeper is ending"));
            continue;
        }
        if (const int code = Send(host, *session, board, step.settings)) {
            codes.push_back(code);
        } else {
            host.Print(board.Label() + ": restored " +
                       DescribeControls(board.family, step.controls));
        }
    }
    for (const BoardKey& key : plan.absent) {
        host.Print("saved board " + PciText(key.pciId) + " on bus " + std::to_string(key.bus) +
                   " is not present: skipped");
    }
    return HighestExitCode(codes);
}

}  // namespace

int RunBoardCommand(const Invocation& invocation, CliHost& host) {
    switch (invocation.command) {
        case Command::kList:
            return RunList(host);
        case Command::kApply:
            return RunApply(invocation, host);
        case Command::kReset:
            return RunReset(invocation, host);
        case Command::kRestore:
            return RunRestore(invocation, host);
        default:
            return kExitBadUsage;
    }
}
