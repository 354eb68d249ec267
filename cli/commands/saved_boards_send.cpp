#include "cli/commands/saved_boards_send.h"

#include <algorithm>

#include "cli/commands/exit_codes.h"

namespace {

// Early in a logon the driver may not be up yet: tried again until it is, the time is over, or
// the keeper is ending.
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

}  // namespace

std::vector<SavedBoardNow> SavedBoards::Now() const {
    std::vector<SavedBoardNow> now;
    for (const auto& board : present) now.push_back(board.second);
    return now;
}

void FindSavedBoards(const DriverSession& session, SavedBoards& boards) {
    std::vector<BoardKey> keys;
    for (const Board& board : session.Boards()) keys.push_back(board.key);
    const RestorePlan plan = PlanRestore(boards.saved, keys);
    boards.present.clear();
    for (const RestorePlan::Step& step : plan.steps) {
        const Board& board = session.Boards()[static_cast<size_t>(step.slot)];
        boards.present.push_back(
            {&board, {board.key, step.options, TemperatureFor(session, board, step.options)}});
    }
    boards.absent = plan.absent;
}

int OpenSavedBoards(CliHost& host, int waitSeconds, SavedBoards& boards) {
    SavedSettings saved;
    if (const int code = LoadSaved(host, saved, boards.found)) return code;
    boards.saved = saved;
    if (!boards.found) return kExitDone;
    host.UseSavedAdapters(saved);
    boards.session = WaitForDriver(host, waitSeconds);
    if (!boards.session->Found()) {
        const std::string waited = host.Stopping() ? "stopped waiting, the keeper is ending: "
                                   : waitSeconds > 0
                                       ? "gave up after " + std::to_string(waitSeconds) + " s: "
                                       : "";
        return Fail(host, kExitDriverFailed, waited + boards.session->FailureText());
    }
    FindSavedBoards(*boards.session, boards);
    for (const auto& [board, entry] : boards.present) {
        if (!board->supported) {
            return Fail(host, kExitSettingsFile,
                        "the settings file names " + board->Label() + ", not a supported board");
        }
    }
    return kExitDone;
}

int SendSavedBoards(CliHost& host, const SavedBoards& boards,
                    const std::vector<LightingToSend>& sends, bool everyBoard, BoardSender& sender,
                    std::map<BoardKey, SentLighting>& lastSent) {
    std::vector<BoardStep> steps(sends.size());
    for (size_t i = 0; i < sends.size(); ++i) {
        const auto at =
            std::find_if(boards.present.begin(), boards.present.end(),
                         [&](const auto& board) { return board.second.key == sends[i].key; });
        // The colour is settled already; the step still tells where it came from.
        if (const int code = PlanBoard(*at->first, sends[i].lighting.options, std::nullopt,
                                       kExitSettingsFile, host, steps[i])) {
            return code;
        }
        steps[i].saved.byTemperature = at->second.saved.byTemperature;
        steps[i].celsius = sends[i].lighting.celsius;
    }
    const std::string what = everyBoard ? Outcome(sender, ": restored ", ": would restore ")
                                        : Outcome(sender, ": sent ", ": would send ");
    const std::vector<int> codes = SendSteps(steps, sender, host, [&](size_t i, int code) {
        if (code != kExitDone) {
            lastSent.erase(sends[i].key);  // not known to be there
            return;
        }
        lastSent[sends[i].key] = sends[i].lighting;
        host.Print(steps[i].board->Label() + (sends[i].lighting.dark ? ": lights out, " : what) +
                   DescribeStep(steps[i]));
    });
    if (everyBoard) {
        for (const BoardKey& key : boards.absent) {
            host.Print("saved board " + PciText(key.pciId) + " on bus " + std::to_string(key.bus) +
                       " is not present: skipped");
        }
    }
    return HighestExitCode(codes);
}
