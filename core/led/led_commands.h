// The I2C transfers that set a board's lighting, addressed to one slot of the GPU table.
// Every operation returns the driver's or the access layer's status, 0 for success.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/gpus/gpu_slots.h"
#include "core/led/led_settings.h"
#include "core/nvapi/nvapi_access.h"
#include "core/nvapi/nvapi_types.h"

namespace led {

// Everything a transfer needs to know about the board it goes to.
struct LedTarget {
    NvPhysicalGpuHandle gpu = nullptr;
    int32_t family = 0;
    uint8_t commandByte = 0;
    uint32_t i2cInfoVersion = 0;
    uint8_t ledControllerAddress = 0;
};

// The target of a slot. A slot number or handle index outside the table gives a target of no
// family (nothing is sent to it) rather than a read past the table.
LedTarget TargetOfSlot(const GpuTable& table, int32_t slot);

// A fresh command template: every field zero but the version word.
NV_I2C_INFO_V3 MakeCommandTemplate(const LedTarget& target);

// Family 2000: one read with a record of its own; on success the whole record, as the driver
// left it, becomes the command template. On failure the template is left as it was.
NvAPI_Status TemplateProbe(nvapi::NvApiAccess& api, const LedTarget& target,
                           NV_I2C_INFO_V3& commandTemplate);

// Family 2000: the mode block, sent with a copy of the command template that points at it.
NvAPI_Status ModeWrite2000(nvapi::NvApiAccess& api, const LedTarget& target,
                           const NV_I2C_INFO_V3& commandTemplate, int32_t mode, int32_t shade,
                           int32_t red, int32_t green, int32_t blue);

// One step of a board's command sequence, planned before anything is sent: the probe read (the
// buffer as sent), a write (the block), or a pause.
struct Transfer {
    enum class Kind {
        kProbeRead,      // family 2000: completes the command template
        kTemplateWrite,  // family 2000: a copy of the command template pointing at the block
        kOwnWrite,       // family 3000: a record of its own
        kPause,
    };
    Kind kind = Kind::kPause;
    std::vector<uint8_t> bytes;
    unsigned milliseconds = 0;  // a pause's length

    bool operator==(const Transfer& other) const {
        return kind == other.kind && bytes == other.bytes && milliseconds == other.milliseconds;
    }
};

constexpr unsigned kBlockPauseMilliseconds = 500;
// The driver's port that carries the LED controller.
constexpr NvU8 kLedPort = 1;

// What one command sends, in order. Family 2000: the probe, then switching on the mode block,
// a pause and the colour block; switching off the colour block, a pause and the mode block.
// Family 3000: one block. Any other family: nothing.
std::vector<Transfer> PlanLedCommand(const LedTarget& target, const LedSettings& settings);
// The template probe's read alone: whether the controller answers, sending it nothing.
Transfer ProbeRead(const LedTarget& target);

// The wait between the two family-2000 blocks; the program's own sleeps on the calling thread.
using Pause = std::function<void(unsigned milliseconds)>;
void SleepOnThisThread(unsigned milliseconds);

// What a family-2000 command does when its probe read fails: the panel sends with the template
// as made; a driver whose probe is the only sign of the controller stops there.
enum class ProbeFailure { kSendAnyway, kStop };

// The transfers in order on a fresh template, which a probe read completes (a failed probe leaves
// it as made, and the sequence goes on unless told to stop, returning the probe's status). The
// first failed write ends the sequence without a pause and gives its status; a probe that no
// write follows gives its own.
NvAPI_Status SendTransfers(nvapi::NvApiAccess& api, const LedTarget& target,
                           const std::vector<Transfer>& transfers,
                           const Pause& pause = SleepOnThisThread,
                           ProbeFailure onProbeFailure = ProbeFailure::kSendAnyway);

// One command as Apply and Reset send it: its plan, sent.
NvAPI_Status SendLedCommand(nvapi::NvApiAccess& api, const LedTarget& target,
                            const LedSettings& settings, const Pause& pause = SleepOnThisThread,
                            ProbeFailure onProbeFailure = ProbeFailure::kSendAnyway);

}  // namespace led
