// The driver's lifetime for one command: initialised and the boards found when the command
// starts, unloaded when it ends.
#pragma once

#include <string>
#include <vector>

#include "cli/commands/boards.h"
#include "core/gpus/gpu_discovery.h"
#include "core/gpus/gpu_slots.h"
#include "core/nvapi/nvapi_access.h"

// One command's use of the driver: initialised and the GPUs found when it starts, unloaded when
// it ends (only when the initialise went through, so the two always pair).
class DriverSession {
  public:
    explicit DriverSession(nvapi::NvApiAccess& api);
    ~DriverSession();
    DriverSession(const DriverSession&) = delete;
    DriverSession& operator=(const DriverSession&) = delete;

    nvapi::NvApiAccess& Api() const { return api_; }
    const DiscoveryResult& Discovery() const { return discovery_; }
    const std::vector<Board>& Boards() const { return boards_; }
    // Early in a logon the driver may fail to initialise, or list no GPU yet.
    bool NotReadyYet() const;
    // Every GPU was found and named; none may be a supported board.
    bool Found() const;
    // The failure in plain words, the driver's status given where there is one.
    std::string FailureText() const;

  private:
    nvapi::NvApiAccess& api_;
    GpuTable table_;
    DiscoveryResult discovery_;
    std::vector<Board> boards_;
};
