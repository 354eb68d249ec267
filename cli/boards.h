// The GPUs as lumivar.exe sees them: found once per command by the panel's own discovery, with
// the bus number and PCI identifier that `list` prints and the settings file keys boards by.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/gpus/gpu_discovery.h"
#include "core/gpus/gpu_slots.h"
#include "core/led/led_commands.h"
#include "core/nvapi/nvapi_access.h"
#include "core/settings/settings_file.h"

struct Board {
    int slot = 0;
    BoardKey key;
    int family = 0;
    bool supported = false;
    std::string name;  // UTF-8
    led::LedTarget target;

    // "GPU 1 (NVIDIA GeForce RTX 2080 SUPER)"
    std::string Label() const;
};

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

// The driver names a GPU in 8-bit text, which the slot keeps one character per byte and cut to
// 39. Read as UTF-8 when it is (a character cut in half at the end is dropped), otherwise as
// Latin-1.
std::string NameAsUtf8(const wchar_t* slotName);
