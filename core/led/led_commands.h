// The I2C transfers that set a board's lighting, addressed to one slot of the GPU table.
// Every operation returns the driver's or the access layer's status, 0 for success.
#pragma once

#include <cstdint>
#include <functional>

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

// Family 2000: the colour block (with the on/off byte) and the mode block, each sent with a copy
// of the command template that points at the block.
NvAPI_Status ColourWrite2000(nvapi::NvApiAccess& api, const LedTarget& target,
                             const NV_I2C_INFO_V3& commandTemplate, int32_t on, int32_t shade,
                             int32_t red, int32_t green, int32_t blue);
NvAPI_Status ModeWrite2000(nvapi::NvApiAccess& api, const LedTarget& target,
                           const NV_I2C_INFO_V3& commandTemplate, int32_t mode, int32_t shade,
                           int32_t red, int32_t green, int32_t blue);

// Family 3000: the 42-byte block with a record of its own.
NvAPI_Status Write3000(nvapi::NvApiAccess& api, const LedTarget& target,
                       const LedSettings& settings);

// The wait between the two family-2000 blocks; the program's own sleeps on the calling thread.
using Pause = std::function<void(unsigned milliseconds)>;
constexpr unsigned kBlockPauseMilliseconds = 500;
void SleepOnThisThread(unsigned milliseconds);

// Sends `settings` in the target family's layout. Family 2000 switching on: mode block, pause,
// colour block; switching off: colour block, pause, mode block; the first failure ends the
// sequence without a pause. Family 3000: one block. Any other family: nothing, status 0.
NvAPI_Status DispatchingWrite(nvapi::NvApiAccess& api, const LedTarget& target,
                              const NV_I2C_INFO_V3& commandTemplate, const LedSettings& settings,
                              const Pause& pause = SleepOnThisThread);

// What a family-2000 command does when its probe read fails: the panel sends with the template
// as made; a driver whose probe is the only sign of the controller stops there.
enum class ProbeFailure { kSendAnyway, kStop };

// One command as Apply and Reset send it: a fresh template, which a family-2000 board completes
// with the probe (a failed probe leaves it as made, and the command goes on unless told to stop,
// returning the probe's status), then the dispatching write, whose status is returned.
NvAPI_Status SendLedCommand(nvapi::NvApiAccess& api, const LedTarget& target,
                            const LedSettings& settings, const Pause& pause = SleepOnThisThread,
                            ProbeFailure onProbeFailure = ProbeFailure::kSendAnyway);

}  // namespace led
