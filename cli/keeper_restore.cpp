#include "cli/keeper_restore.h"

#include "cli/board_commands.h"
#include "cli/console_host.h"

namespace {

// Windows' host, whose lines are also kept, whose sleeps are the keeper's, and whose clock runs
// out once the keeper ends so that a wait for the driver ends with it.
class KeeperHost final : public CliHost {
  public:
    explicit KeeperHost(RestoreWaits& waits) : waits_(waits) {}
    nvapi::NvApiAccess& Driver() override { return windows_.Driver(); }
    void Print(const std::string& line) override {
        windows_.Print(line);
        printed.push_back(line);
    }
    void PrintError(const std::string& line) override {
        windows_.PrintError(line);
        printed.push_back(line);
    }
    SettingsStore& Settings() override { return windows_.Settings(); }
    InterProcessLock& BoardLock() override { return windows_.BoardLock(); }
    void Sleep(unsigned milliseconds) override { waits_.Sleep(milliseconds); }
    uint64_t Milliseconds() override {
        return windows_.Milliseconds() + (waits_.Stopping() ? uint64_t{kMaxWaitSeconds} * 1000 : 0);
    }

    std::vector<std::string> printed;

  private:
    WindowsHost windows_;
    RestoreWaits& waits_;
};

}  // namespace

RestoreOutcome RestoreForKeeper(RestoreWaits& waits) {
    KeeperHost host(waits);
    const int code = RunKeeperRestore(host);
    return {code, std::move(host.printed)};
}
