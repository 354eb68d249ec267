#include "cli/commands/board_commands.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "cli/commands/saved_boards_send.h"
#include "cli/commands/send_path.h"
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
    // save tells why nothing was saved. A dry run creates nothing, the lock's file included.
    if (invocation.save) {
        const std::unique_ptr<HeldLock> lock =
            invocation.dryRun ? nullptr : std::make_unique<HeldLock>(host.Settings().UpdateLock());
        SavedSettings saved;
        bool found = false;
        if (!lock || lock->Held()) {
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

    const std::unique_ptr<BoardSender> sender = MakeSender(host, session, invocation.dryRun);
    std::vector<int> codes = SendSteps(steps, *sender, host, [&](size_t i, int code) {
        if (code != kExitDone) return;
        const BoardStep& step = steps[i];
        std::string line = step.board->Label() + Outcome(*sender, ": applied ", ": would apply ") +
                           DescribeStep(step);
        if (invocation.save && sender->DryRun()) {
            line += "; would save";
        } else if (invocation.save) {
            // Read again under the lock: another program may have saved since.
            std::string error;
            const SavedBoard entry{step.board->key, step.saved, host.ChosenAdapter(*step.board)};
            const SettingsOutcome outcome = UpdateSettings(
                host.Settings(), [&entry](SavedSettings& s) { RememberBoard(s, entry); }, error);
            if (outcome != SettingsOutcome::kDone) {
                host.Print(line);
                codes.push_back(Fail(host, kExitSettingsFile,
                                     outcome == SettingsOutcome::kUnreadable
                                         ? error
                                         : "cannot save the settings: " + error));
                return;
            }
            line += "; saved";
            host.SettingsChanged();
        }
        host.Print(line);
    });
    return HighestExitCode(codes);
}

int RunReset(const Invocation& invocation, CliHost& host) {
    const DriverSession session(host.Driver());
    if (!session.Found()) return Fail(host, kExitDriverFailed, session.FailureText());
    std::vector<const Board*> selected;
    if (const int code = SelectBoards(invocation.gpu, session.Boards(), host, selected))
        return code;
    std::vector<BoardStep> steps;
    for (const Board* board : selected) steps.push_back(PlanResetStep(*board));
    const std::unique_ptr<BoardSender> sender = MakeSender(host, session, invocation.dryRun);
    bool reached = false;
    const std::vector<int> codes = SendSteps(steps, *sender, host, [&](size_t i, int code) {
        if (code != kExitDone) return;
        reached = true;
        host.Print(steps[i].board->Label() +
                   Outcome(*sender, ": reset to white, static", ": would reset to white, static"));
    });
    // A keeper that follows the rules sends the boards what they want again.
    if (reached && !sender->DryRun()) host.SettingsChanged();
    return HighestExitCode(codes);
}

// Every saved board sent its lighting as if nothing had been sent before; the lights-out rule is
// the keeper's alone.
int RunRestore(const Invocation& invocation, CliHost& host) {
    SavedBoards boards;
    if (const int code = OpenSavedBoards(host, invocation.waitSeconds, boards)) return code;
    if (!boards.found) {
        host.Print("nothing is saved yet");
        return kExitDone;
    }
    const std::vector<LightingToSend> sends =
        WhatToSend(boards.Now(), LightsOutRule(), KeeperConditions(), {}, true);
    const std::unique_ptr<BoardSender> sender =
        MakeSender(host, *boards.session, invocation.dryRun);
    std::map<BoardKey, SentLighting> sent;
    return SendSavedBoards(host, boards, sends, true, *sender, sent);
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
