#include "cli/commands/keeper_send.h"

#include <algorithm>

#include "cli/commands/board_sending.h"
#include "cli/commands/exit_codes.h"

namespace {

// The platform's host, whose lines are kept instead of printed and whose waits are the keeper's.
class KeeperHost final : public CliHost {
  public:
    KeeperHost(CliHost& host, KeeperWaits& waits) : host_(host), waits_(waits) {}
    nvapi::NvApiAccess& Driver() override { return host_.Driver(); }
    void Print(const std::string& line) override { printed.push_back(line); }
    void PrintError(const std::string& line) override { printed.push_back(line); }
    SettingsStore& Settings() override { return host_.Settings(); }
    InterProcessLock& BoardLock() override { return host_.BoardLock(); }
    void Sleep(unsigned milliseconds) override { waits_.Sleep(milliseconds); }
    uint64_t Milliseconds() override { return host_.Milliseconds(); }
    bool Stopping() override { return waits_.Stopping(); }
    std::optional<std::string> ListField(const Board& board) override {
        return host_.ListField(board);
    }
    std::string TransferFailure(const Board& board, NvAPI_Status status) override {
        return host_.TransferFailure(board, status);
    }
    led::ProbeFailure OnProbeFailure() override { return host_.OnProbeFailure(); }

    std::vector<std::string> printed;

  private:
    CliHost& host_;
    KeeperWaits& waits_;
};

// The present boards with a saved entry, in slot order, and their temperatures where they follow
// them; `onlyFollowing` leaves out the others and those whose LEDs are saved off.
std::vector<std::pair<const Board*, SavedBoardNow>> SavedBoardsNow(const DriverSession& session,
                                                                   const SavedSettings& saved,
                                                                   bool onlyFollowing) {
    std::vector<BoardKey> keys;
    for (const Board& board : session.Boards()) keys.push_back(board.key);
    std::vector<std::pair<const Board*, SavedBoardNow>> boards;
    for (const RestorePlan::Step& step : PlanRestore(saved, keys).steps) {
        const Board& board = session.Boards()[static_cast<size_t>(step.slot)];
        // A board saved with its LEDs off shows no colour to follow.
        if (onlyFollowing && (!step.options.byTemperature || step.options.off)) continue;
        boards.push_back(
            {&board, {board.key, step.options, TemperatureFor(session, board, step.options)}});
    }
    return boards;
}

}  // namespace

KeeperSender::KeeperSender(CliHost& host, KeeperWaits& waits) : host_(host), waits_(waits) {}

KeeperSender::~KeeperSender() = default;

SendOutcome KeeperSender::Send(const KeeperSend& send) {
    KeeperHost host(host_, waits_);
    SendOutcome outcome;
    outcome.rule = settings_.lightsOut;
    const auto finish = [&outcome, &host](int exitCode) {
        outcome.exitCode = exitCode;
        outcome.printed = std::move(host.printed);
        return outcome;
    };
    // After a resume or a driver restart the driver is found afresh.
    if (send.everyBoard) following_.reset();
    SavedSettings saved;
    bool found = false;
    if (const int code = LoadSaved(host, saved, found)) return finish(code);
    settings_ = saved;
    outcome.rule = saved.lightsOut;
    if (!found) {
        lastSent_.clear();
        if (send.everyBoard) host.Print("nothing is saved yet");
        return finish(kExitDone);
    }
    const std::unique_ptr<DriverSession> session = WaitForDriver(host, kKeeperWaitSeconds);
    if (!session->Found()) {
        const std::string waited =
            waits_.Stopping() ? "stopped waiting, the keeper is ending: "
                              : "gave up after " + std::to_string(kKeeperWaitSeconds) + " s: ";
        return finish(Fail(host, kExitDriverFailed, waited + session->FailureText()));
    }
    const auto boards = SavedBoardsNow(*session, saved, false);
    std::vector<SavedBoardNow> now;
    for (const auto& [board, entry] : boards) {
        now.push_back(entry);
        if (!board->supported) {
            return finish(
                Fail(host, kExitSettingsFile,
                     "the settings file names " + board->Label() + ", not a supported board"));
        }
        // A temperature that cannot be read is said once, not at every look, and once when back.
        const bool unreadable = entry.saved.byTemperature && !entry.celsius;
        if (unreadable && unreadable_.insert(entry.key).second) {
            const auto last = lastSent_.find(entry.key);
            const bool kept =
                last != lastSent_.end() && TemperatureToShow(entry, &last->second).has_value();
            host.Print(board->Label() + ": the temperature cannot be read; " +
                       (kept ? "the colour stays" : "the first colour") + " until it can");
        } else if (!unreadable && unreadable_.erase(entry.key) > 0) {
            host.Print(board->Label() + ": the temperature can be read again");
        }
    }
    const bool lightsOut = LightsOut(saved.lightsOut, send.conditions);
    const std::vector<LightingToSend> sends =
        WhatToSend(now, saved.lightsOut, send.conditions, lastSent_, send.everyBoard,
                   host_.Milliseconds())
            .boards;
    // Everything is planned before anything is sent: a mode a board lacks is the file's fault.
    std::vector<BoardStep> steps(sends.size());
    for (size_t i = 0; i < sends.size(); ++i) {
        const auto at = std::find_if(boards.begin(), boards.end(), [&](const auto& board) {
            return board.second.key == sends[i].key;
        });
        if (const int code = PlanBoard(*at->first, sends[i].lighting.options, std::nullopt,
                                       kExitSettingsFile, host, steps[i])) {
            return finish(code);
        }
        steps[i].saved.byTemperature = at->second.saved.byTemperature;
        steps[i].celsius = sends[i].lighting.celsius;
    }
    std::vector<int> codes;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Board& board = *steps[i].board;
        if (host.Stopping()) {
            codes.push_back(
                Fail(host, kExitDriverFailed, board.Label() + ": not sent, the keeper is ending"));
        } else if (const int code = SendBoard(host, *session, steps[i])) {
            codes.push_back(code);
            lastSent_.erase(sends[i].key);
        } else {
            lastSent_[sends[i].key] = sends[i].lighting;
            const char* what = sends[i].lighting.dark ? ": lights out, "
                               : send.everyBoard      ? ": restored "
                                                      : ": sent ";
            host.Print(board.Label() + what + DescribeStep(steps[i]));
        }
    }
    // A board whose entry went is no longer the keeper's.
    for (auto it = lastSent_.begin(); it != lastSent_.end();) {
        const bool saved = std::any_of(
            now.begin(), now.end(), [&it](const SavedBoardNow& b) { return b.key == it->first; });
        it = saved ? std::next(it) : lastSent_.erase(it);
    }
    if (send.everyBoard) {
        std::vector<BoardKey> keys;
        for (const Board& board : session->Boards()) keys.push_back(board.key);
        for (const BoardKey& key : PlanRestore(saved, keys).absent) {
            host.Print("saved board " + PciText(key.pciId) + " on bus " + std::to_string(key.bus) +
                       " is not present: skipped");
        }
    }
    outcome.following = !lightsOut && std::any_of(now.begin(), now.end(), [](const auto& board) {
        return board.saved.byTemperature.has_value();
    });
    return finish(HighestExitCode(codes));
}

TemperatureLook KeeperSender::LookAtTemperatures(const KeeperConditions& conditions) {
    if (!following_) following_ = std::make_unique<DriverSession>(host_.Driver());
    if (!following_->Found()) {
        following_.reset();  // the next look tries again
        return {};
    }
    std::vector<SavedBoardNow> now;
    for (const auto& board : SavedBoardsNow(*following_, settings_, true)) {
        now.push_back(board.second);
    }
    const uint64_t clock = host_.Milliseconds();
    const SendsNow sends =
        WhatToSend(now, settings_.lightsOut, conditions, lastSent_, false, clock);
    // A reading lost or back is told in the log by a send.
    const bool readingChanged = std::any_of(now.begin(), now.end(), [this](const auto& board) {
        return !board.celsius != (unreadable_.count(board.key) > 0);
    });
    TemperatureLook look;
    look.send = !sends.boards.empty() || readingChanged;
    if (sends.heldUntil) look.heldMilliseconds = static_cast<unsigned>(*sends.heldUntil - clock);
    return look;
}

void KeeperSender::StopFollowing() {
    following_.reset();
}
