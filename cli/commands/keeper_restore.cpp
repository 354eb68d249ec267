#include "cli/commands/keeper_restore.h"

#include "cli/commands/board_commands.h"
#include "cli/commands/boards.h"
#include "core/keeper/restore_schedule.h"

namespace {

// The platform's host, whose lines are kept instead of printed and whose waits are the keeper's.
class KeeperHost final : public CliHost {
  public:
    KeeperHost(CliHost& host, RestoreWaits& waits) : host_(host), waits_(waits) {}
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
    RestoreWaits& waits_;
};

}  // namespace

RestoreOutcome RestoreForKeeper(CliHost& host, RestoreWaits& waits) {
    KeeperHost keeperHost(host, waits);
    Invocation restore;
    restore.command = Command::kRestore;
    restore.waitSeconds = kKeeperWaitSeconds;
    const int code = RunBoardCommand(restore, keeperHost);
    return {code, std::move(keeperHost.printed)};
}
