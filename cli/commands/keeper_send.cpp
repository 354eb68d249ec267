#include "cli/commands/keeper_send.h"

#include <algorithm>

#include "cli/commands/saved_boards_send.h"
#include "cli/commands/send_path.h"
#include "cli/commands/exit_codes.h"
#include "cli/commands/forwarding_host.h"

namespace {

// The platform's host, whose lines are kept instead of printed and whose waits are the keeper's.
// The keeper is the one told of changes: its own sends tell nobody.
class KeeperHost final : public ForwardingHost {
  public:
    KeeperHost(CliHost& host, KeeperWaits& waits) : ForwardingHost(host), waits_(waits) {}
    void Print(const std::string& line) override { printed.push_back(line); }
    void PrintError(const std::string& line) override { printed.push_back(line); }
    void Sleep(unsigned milliseconds) override { waits_.Sleep(milliseconds); }
    bool Stopping() override { return waits_.Stopping(); }
    void SettingsChanged() override {}

    std::vector<std::string> printed;

  private:
    KeeperWaits& waits_;
};

}  // namespace

KeeperSender::KeeperSender(CliHost& host, KeeperWaits& waits) : host_(host), waits_(waits) {}

KeeperSender::~KeeperSender() = default;

SendOutcome KeeperSender::Send(const KeeperSend& send) {
    KeeperHost host(host_, waits_);
    SendOutcome outcome;
    const auto finish = [&outcome, &host](int exitCode) {
        outcome.exitCode = exitCode;
        outcome.printed = std::move(host.printed);
        return outcome;
    };
    // After a resume or a driver restart the driver is found afresh.
    if (send.everyBoard) following_.reset();
    SavedBoards boards;
    boards.saved = settings_;  // kept when the file cannot be read
    const int opened = OpenSavedBoards(host, kKeeperWaitSeconds, boards);
    settings_ = boards.saved;
    outcome.rule = settings_.lightsOut;
    if (opened != kExitDone) return finish(opened);
    if (!boards.found) {
        lastSent_.clear();
        if (send.everyBoard) host.Print("nothing is saved yet");
        return finish(kExitDone);
    }
    const std::vector<SavedBoardNow> now = boards.Now();
    for (const auto& [board, entry] : boards.present) {
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
    const std::vector<LightingToSend> sends =
        WhatToSend(now, settings_.lightsOut, send.conditions, lastSent_, send.everyBoard,
                   host_.Milliseconds())
            .boards;
    const std::unique_ptr<BoardSender> sender = MakeSender(host, *boards.session, false);
    const int code = SendSavedBoards(host, boards, sends, send.everyBoard, *sender, lastSent_);
    // A board whose entry went is no longer the keeper's.
    for (auto it = lastSent_.begin(); it != lastSent_.end();) {
        const bool saved = std::any_of(
            now.begin(), now.end(), [&it](const SavedBoardNow& b) { return b.key == it->first; });
        it = saved ? std::next(it) : lastSent_.erase(it);
    }
    outcome.following = !LightsOut(settings_.lightsOut, send.conditions) &&
                        std::any_of(now.begin(), now.end(), [](const SavedBoardNow& board) {
                            return board.saved.byTemperature.has_value();
                        });
    return finish(code);
}

TemperatureLook KeeperSender::LookAtTemperatures(const KeeperConditions& conditions) {
    if (!following_) following_ = std::make_unique<DriverSession>(host_.Driver());
    if (!following_->Found()) {
        following_.reset();  // the next look tries again
        return {};
    }
    SavedBoards boards;
    for (const SavedBoard& entry : settings_.boards) {
        // A board saved with its LEDs off shows no colour to follow: its temperature is not read.
        if (entry.options.byTemperature && !entry.options.off) boards.saved.boards.push_back(entry);
    }
    FindSavedBoards(*following_, boards);
    const std::vector<SavedBoardNow> now = boards.Now();
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
