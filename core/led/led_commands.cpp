#include "core/led/led_commands.h"

#include <chrono>
#include <thread>

#include "core/led/led_blocks.h"

namespace led {

namespace {

constexpr NvU32 kDefaultI2cSpeed = 0xFFFF;
constexpr NvU8 kLedPort = 1;

// Every driver call gets a zeroed scratch area of two words that it may write and we never read.
struct Scratch {
    NvU32 words[2] = {0, 0};
};

// The fields the probe and the family-3000 write set the same way.
NV_I2C_INFO_V3 OwnRecord(const LedTarget& target, NvU8* data, NvU32 size, NV_I2C_SPEED speed) {
    NV_I2C_INFO_V3 record{};
    record.version = target.i2cInfoVersion;
    record.displayMask = 0;
    record.bIsDDCPort = 0;
    record.i2cDevAddress = target.ledControllerAddress;
    record.pbI2cRegAddress = nullptr;
    record.regAddrSize = 0;
    record.pbData = data;
    record.cbSize = size;
    record.i2cSpeed = kDefaultI2cSpeed;
    record.i2cSpeedKhz = speed;
    record.portId = kLedPort;
    record.bIsPortIdSet = 1;
    return record;
}

NvAPI_Status WriteWithTemplate(nvapi::NvApiAccess& api, const LedTarget& target,
                               const NV_I2C_INFO_V3& commandTemplate, Block2000& block) {
    NV_I2C_INFO_V3 record = commandTemplate;
    record.pbData = block.data();
    // The driver sends cbSize bytes from pbData; a template that asks for more than the block
    // holds must not make it read past the block.
    if (record.cbSize > block.size()) record.cbSize = static_cast<NvU32>(block.size());
    Scratch scratch;
    return api.I2CWriteEx(target.gpu, &record, scratch.words);
}

}  // namespace

LedTarget TargetOfSlot(const GpuTable& table, int32_t slot) {
    if (slot < 0 || slot >= kMaxGpuSlots) return {};
    const GpuSlot& gpuSlot = table.gpuSlots[slot];
    if (gpuSlot.handleIndex < 0 ||
        static_cast<size_t>(gpuSlot.handleIndex) >= NVAPI_MAX_PHYSICAL_GPUS) {
        return {};
    }
    LedTarget target;
    target.gpu = table.gpuHandles[gpuSlot.handleIndex];
    target.family = gpuSlot.family;
    target.commandByte = gpuSlot.commandByte;
    target.i2cInfoVersion = gpuSlot.i2cInfoVersion;
    target.ledControllerAddress = table.ledControllerAddress;
    return target;
}

NV_I2C_INFO_V3 MakeCommandTemplate(const LedTarget& target) {
    NV_I2C_INFO_V3 commandTemplate{};
    commandTemplate.version = target.i2cInfoVersion;
    return commandTemplate;
}

NvAPI_Status TemplateProbe(nvapi::NvApiAccess& api, const LedTarget& target,
                           NV_I2C_INFO_V3& commandTemplate) {
    ProbeBuffer buffer = MakeProbeBuffer(target.commandByte);
    NV_I2C_INFO_V3 record =
        OwnRecord(target, buffer.data(), static_cast<NvU32>(buffer.size()), NV_I2C_SPEED_DEFAULT);
    Scratch scratch;
    const NvAPI_Status status = api.I2CReadEx(target.gpu, &record, scratch.words);
    if (status == NVAPI_OK) commandTemplate = record;
    return status;
}

NvAPI_Status ColourWrite2000(nvapi::NvApiAccess& api, const LedTarget& target,
                             const NV_I2C_INFO_V3& commandTemplate, int32_t on, int32_t shade,
                             int32_t red, int32_t green, int32_t blue) {
    Block2000 block = ColourBlock2000(target.commandByte, on, shade, red, green, blue);
    return WriteWithTemplate(api, target, commandTemplate, block);
}

NvAPI_Status ModeWrite2000(nvapi::NvApiAccess& api, const LedTarget& target,
                           const NV_I2C_INFO_V3& commandTemplate, int32_t mode, int32_t shade,
                           int32_t red, int32_t green, int32_t blue) {
    Block2000 block = ModeBlock2000(target.commandByte, mode, shade, red, green, blue);
    return WriteWithTemplate(api, target, commandTemplate, block);
}

NvAPI_Status Write3000(nvapi::NvApiAccess& api, const LedTarget& target,
                       const LedSettings& settings) {
    Block3000 block = SettingsBlock3000(target.commandByte, settings);
    NV_I2C_INFO_V3 record =
        OwnRecord(target, block.data(), static_cast<NvU32>(block.size()), NV_I2C_SPEED_LOWEST);
    Scratch scratch;
    return api.I2CWriteEx(target.gpu, &record, scratch.words);
}

void SleepOnThisThread(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

NvAPI_Status DispatchingWrite(nvapi::NvApiAccess& api, const LedTarget& target,
                              const NV_I2C_INFO_V3& commandTemplate, const LedSettings& settings,
                              const Pause& pause) {
    const LedSettings& s = settings;
    switch (target.family) {
        case kFamily2000:
            if (s.on == 1) {
                const NvAPI_Status status = ModeWrite2000(api, target, commandTemplate, s.mode,
                                                          s.shade, s.red, s.green, s.blue);
                if (status != NVAPI_OK) return status;
                pause(kBlockPauseMilliseconds);
                return ColourWrite2000(api, target, commandTemplate, s.on, s.shade, s.red, s.green,
                                       s.blue);
            } else {
                const NvAPI_Status status = ColourWrite2000(api, target, commandTemplate, s.on,
                                                            s.shade, s.red, s.green, s.blue);
                if (status != NVAPI_OK) return status;
                pause(kBlockPauseMilliseconds);
                return ModeWrite2000(api, target, commandTemplate, s.mode, s.shade, s.red, s.green,
                                     s.blue);
            }
        case kFamily3000:
            return Write3000(api, target, settings);
        default:
            return NVAPI_OK;
    }
}

NvAPI_Status SendLedCommand(nvapi::NvApiAccess& api, const LedTarget& target,
                            const LedSettings& settings, const Pause& pause,
                            ProbeFailure onProbeFailure) {
    NV_I2C_INFO_V3 commandTemplate = MakeCommandTemplate(target);
    if (target.family == kFamily2000) {
        const NvAPI_Status probe = TemplateProbe(api, target, commandTemplate);
        if (probe != NVAPI_OK && onProbeFailure == ProbeFailure::kStop) return probe;
    }
    return DispatchingWrite(api, target, commandTemplate, settings, pause);
}

}  // namespace led
