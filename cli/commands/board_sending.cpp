#include "cli/commands/board_sending.h"

#include <algorithm>

#include "cli/commands/exit_codes.h"
#include "core/gpus/gpu_temperature.h"
#include "core/led/led_commands.h"

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
    return kExitDone;
}

int SendBoard(CliHost& host, const DriverSession& session, const BoardStep& step) {
    const Board& board = *step.board;
    const HeldLock lock(host.BoardLock());
    if (!lock.Held()) {
        return Fail(host, kExitDriverFailed, board.Label() + ": nothing sent: " + lock.Error());
    }
    const NvAPI_Status status = led::SendLedCommand(
        session.Api(), board.target, step.settings,
        [&host](unsigned milliseconds) { host.Sleep(milliseconds); }, host.OnProbeFailure());
    if (status == NVAPI_OK) return kExitDone;
    return Fail(host, kExitDriverFailed,
                board.Label() + ": " + host.TransferFailure(board, status));
}

std::string DescribeStep(const BoardStep& step) {
    std::string text = DescribeControls(step.board->family, step.controls);
    if (step.saved.byTemperature) {
        text += step.celsius ? " (the colour of " + std::to_string(*step.celsius) + " °C)"
                             : " (the temperature cannot be read: the first colour)";
    }
    return text;
}

int LoadSaved(CliHost& host, SavedSettings& saved, bool& found) {
    std::string error;
    const SettingsOutcome outcome = LoadSettings(host.Settings(), saved, error);
    found = outcome == SettingsOutcome::kDone;
    if (outcome == SettingsOutcome::kUnreadable) return Fail(host, kExitSettingsFile, error);
    return kExitDone;
}

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
