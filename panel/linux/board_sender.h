// Apply's and Reset's bytes through the back end lumivar uses: the GPUs from sysfs and /proc, the
// controller searched on the GPU's adapters, every command sequence under the boards' lock. The
// sends run on a thread of their own, one at a time, so that the 500 ms pause between the two
// blocks of a family-2000 board never holds the window up.
#pragma once

#include <QObject>
#include <QThread>
#include <optional>
#include <string>

#include "core/gpus/gpu_discovery.h"
#include "core/led/led_commands.h"
#include "core/nvapi/nvapi_access.h"
#include "platform/linux/flock_lock.h"
#include "platform/linux/linux_driver.h"

struct SendOutcome {
    bool reachedBoard = false;
    std::string problem;     // UTF-8, for the user: what happened and what to do; empty when sent
    int chosenAdapter = -1;  // the adapter asked instead of a search, where the board answered
};

class BoardSender : public QObject {
    Q_OBJECT

  public:
    // `i2cBus`: the one adapter to use instead of searching each GPU's, as lumivar's --i2c-bus.
    explicit BoardSender(std::optional<int> i2cBus);
    ~BoardSender() override;

    // Before the sending thread starts: the driver initialised and the slot table filled; the
    // adapters kept in the saved entries asked as restore asks them.
    DiscoveryResult FindBoards(GpuTable& table);
    // Runs the sends from now on.
    void StartThread();

    // One command, on the sending thread; `finished` follows on the caller's thread.
    void Send(const led::LedTarget& target, const LedSettings& settings);

  signals:
    // `chosenAdapter`: SendOutcome's.
    void finished(bool reachedBoard, const QString& problem, int chosenAdapter);

  private:
    SendOutcome SendNow(const led::LedTarget& target, const LedSettings& settings);

    LinuxDriver driver_;
    nvapi::NvApiAccess access_{driver_};
    FlockLock boardLock_;
    bool initialised_ = false;
    QThread thread_;
};
