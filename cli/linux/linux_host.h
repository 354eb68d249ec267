// The board commands' host on Linux: the driver's interface served from sysfs and /dev/i2c-N,
// standard output and error, the settings file under $XDG_CONFIG_HOME, the flock board lock and
// the monotonic clock. Transfers fail with what the user should do about it.
#pragma once

#include <optional>
#include <string>

#include "cli/commands/cli_host.h"
#include "platform/linux/flock_lock.h"
#include "platform/linux/linux_driver.h"
#include "platform/linux/settings_store_linux.h"

class LinuxHost : public CliHost {
  public:
    // `i2cBus`: the one adapter to use instead of searching each GPU's.
    explicit LinuxHost(std::optional<int> i2cBus);

    nvapi::NvApiAccess& Driver() override { return access_; }
    void Print(const std::string& line) override;
    void PrintError(const std::string& line) override;
    SettingsStore& Settings() override { return settings_; }
    InterProcessLock& BoardLock() override { return boardLock_; }
    void Sleep(unsigned milliseconds) override;
    uint64_t Milliseconds() override;
    void SettingsChanged() override;

    // The adapter where the board's controller answered; an unsupported board is not asked.
    std::optional<std::string> ListField(const Board& board) override;
    // "i2c-N", found as list finds it (reads only).
    std::optional<std::string> TransferPort(const Board& board) override;
    std::string TransferFailure(const Board& board, NvAPI_Status status) override;
    std::optional<int> ChosenAdapter(const Board& board) override;
    void UseSavedAdapters(const SavedSettings& saved) override;
    // The probe read is the only sign of the controller here: without an answer nothing is sent.
    led::ProbeFailure OnProbeFailure() override { return led::ProbeFailure::kStop; }

  private:
    std::optional<int> i2cBus_;
    LinuxDriver driver_;
    nvapi::NvApiAccess access_{driver_};
    LinuxSettingsStore settings_;
    FlockLock boardLock_;
};
