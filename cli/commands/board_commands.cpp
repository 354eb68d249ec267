#include "cli/commands/board_commands.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "cli/commands/board_sending.h"
#include "cli/commands/exit_codes.h"
#include "core/settings/settings_file.h"

namespace {

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
    // A settings file that cannot be read stops the command before anything is sent. Read under
    // the settings lock, as the save reads: outside it, this read could meet another program's
    // replace of the file, or hold the file open while that replace runs. Without the lock the
    // save tells why nothing was saved.
    if (invocation.save) {
        const HeldLock lock(host.Settings().UpdateLock());
        SavedSettings saved;
        bool found = false;
        if (lock.Held()) {
            if (const int code = LoadSaved(host, saved, found)) return code;
        }
    }
    const DriverSession session(host.Driver());
    if (!session.Found()) return Fail(host, kExitDriverFailed, session.FailureText());
    std::vector<const Board*> selected;
    if (const int code = SelectBoards(invocation.gpu, session.Boards(), host, selected))
        return code;

    std::vector<BoardStep> steps(selected.size());
    for (size_t i = 0; i < selected.size(); ++i) {
        steps[i].board = selected[i];
        if (!selected[i]->supported) continue;
        const std::optional<int> celsius =
            TemperatureFor(session, *selected[i], invocation.options);
        if (const int code = PlanBoard(*selected[i], invocation.options, celsius, kExitBadUsage,
                                       host, steps[i])) {
            return code;
        }
    }

    std::vector<int> codes;
    for (const BoardStep& step : steps) {
        const Board& board = *step.board;
        if (!board.supported) {
            host.Print(board.Label() + ": skipped, not a supported board");
            continue;
        }
        if (const int code = SendBoard(host, session, step)) {
            codes.push_back(code);
            continue;
        }
        std::string line = board.Label() + ": applied " + DescribeStep(step);
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
            host.SettingsChanged();
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
        BoardStep step;
        step.board = board;
        step.settings = PlanReset(board->family, board->supported).sent;
        const int code = SendBoard(host, session, step);
        if (code == kExitDone) host.Print(board->Label() + ": reset to white, static");
        codes.push_back(code);
    }
    // A keeper that follows the rules sends the boards what they want again.
    if (std::count(codes.begin(), codes.end(), kExitDone) > 0) host.SettingsChanged();
    return HighestExitCode(codes);
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
    std::vector<BoardStep> steps(plan.steps.size());
    for (size_t i = 0; i < plan.steps.size(); ++i) {
        const Board& board = boards[static_cast<size_t>(plan.steps[i].slot)];
        if (!board.supported) {
            return Fail(host, kExitSettingsFile,
                        "the settings file names " + board.Label() + ", not a supported board");
        }
        const ApplyOptions& options = plan.steps[i].options;
        if (const int code = PlanBoard(board, options, TemperatureFor(*session, board, options),
                                       kExitSettingsFile, host, steps[i])) {
            return code;
        }
    }
    std::vector<int> codes;
    for (const BoardStep& step : steps) {
        const Board& board = *step.board;
        if (const int code = SendBoard(host, *session, step)) {
            codes.push_back(code);
        } else {
            host.Print(board.Label() + ": restored " + DescribeStep(step));
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
