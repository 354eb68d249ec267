#include "cli/commands/send_path.h"

#include "cli/commands/dry_run.h"
#include "cli/commands/exit_codes.h"
#include "core/gpus/gpu_temperature.h"

namespace {

// The driver's sender: a board's whole sequence, its pause included, under the board lock, so
// no other program's blocks come between its two.
class DriverSender final : public BoardSender {
  public:
    DriverSender(CliHost& host, const DriverSession& session) : host_(host), session_(session) {}

    int Send(const BoardStep& step) override {
        const Board& board = *step.board;
        const HeldLock lock(host_.BoardLock());
        if (!lock.Held()) {
            return Fail(host_, kExitDriverFailed,
                        board.Label() + ": nothing sent: " + lock.Error());
        }
        const NvAPI_Status status = led::SendTransfers(
            session_.Api(), board.target, step.transfers,
            [this](unsigned milliseconds) { host_.Sleep(milliseconds); }, host_.OnProbeFailure());
        if (status == NVAPI_OK) return kExitDone;
        return Fail(host_, kExitDriverFailed,
                    board.Label() + ": " + host_.TransferFailure(board, status));
    }
    bool DryRun() const override { return false; }

  private:
    CliHost& host_;
    const DriverSession& session_;
};

}  // namespace

int Fail(CliHost& host, int exitCode, const std::string& message) {
    host.PrintError("lumivar: " + message);
    return exitCode;
}

std::optional<int> TemperatureFor(const DriverSession& session, const Board& board,
                                  const ApplyOptions& options) {
    if (!options.byTemperature) return std::nullopt;
    return ReadGpuTemperature(session.Api(), board.target.gpu);
}

int PlanBoard(const Board& board, const ApplyOptions& options, std::optional<int> celsius,
              int badModeCode, CliHost& host, BoardStep& step) {
    step.board = &board;
    step.saved = options;
    step.celsius = celsius;
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
    step.controls = ControlsForOptions(board.family, board.supported, position,
                                       AtTemperature(options, celsius));
    step.settings = GatherLedSettings(board.family, step.controls);
    step.transfers = led::PlanLedCommand(board.target, step.settings);
    return kExitDone;
}

BoardStep PlanResetStep(const Board& board) {
    BoardStep step;
    step.board = &board;
    step.settings = PlanReset(board.family, board.supported).sent;
    step.transfers = led::PlanLedCommand(board.target, step.settings);
    return step;
}

BoardStep PlanProbeStep(const Board& board) {
    BoardStep step;
    step.board = &board;
    step.transfers = {led::ProbeRead(board.target)};
    return step;
}

std::string DescribeStep(const BoardStep& step) {
    std::string text = DescribeControls(step.board->family, step.controls);
    if (step.saved.byTemperature) {
        text += step.celsius ? " (the colour of " + std::to_string(*step.celsius) + " °C)"
                             : " (the temperature cannot be read: the first colour)";
    }
    return text;
}

std::unique_ptr<BoardSender> MakeSender(CliHost& host, const DriverSession& session, bool dryRun) {
    if (dryRun) return std::make_unique<DryRunPrinter>(host);
    return std::make_unique<DriverSender>(host, session);
}

std::vector<int> SendSteps(const std::vector<BoardStep>& steps, BoardSender& sender, CliHost& host,
                           const std::function<void(size_t, int)>& sent) {
    std::vector<int> codes;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Board& board = *steps[i].board;
        if (!board.supported) {
            host.Print(board.Label() + ": skipped, not a supported board");
        } else if (host.Stopping()) {
            codes.push_back(
                Fail(host, kExitDriverFailed, board.Label() + ": not sent, the keeper is ending"));
        } else {
            const int code = sender.Send(steps[i]);
            if (code != kExitDone) codes.push_back(code);
            sent(i, code);
        }
    }
    return codes;
}

std::string Outcome(const BoardSender& sender, const std::string& done,
                    const std::string& wouldDo) {
    return sender.DryRun() ? wouldDo : done;
}

int LoadSaved(CliHost& host, SavedSettings& saved, bool& found) {
    std::string error;
    const SettingsOutcome outcome = LoadSettings(host.Settings(), saved, error);
    found = outcome == SettingsOutcome::kDone;
    if (outcome == SettingsOutcome::kUnreadable) return Fail(host, kExitSettingsFile, error);
    return kExitDone;
}
