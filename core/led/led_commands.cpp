#include "core/led/led_commands.h"

#include <chrono>
#include <thread>

#include "core/led/led_blocks.h"

namespace led {

namespace {

constexpr NvU32 kDefaultI2cSpeed = 0xFFFF;

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
                               const NV_I2C_INFO_V3& commandTemplate, uint8_t* data, size_t size) {
    NV_I2C_INFO_V3 record = commandTemplate;
    record.pbData = data;
    // The driver sends cbSize bytes from pbData; a template that asks for more than the block
    // holds must not make it read past the block.
    if (record.cbSize > size) record.cbSize = static_cast<NvU32>(size);
    Scratch scratch;
    return api.I2CWriteEx(target.gpu, &record, scratch.words);
}

NvAPI_Status Probe(nvapi::NvApiAccess& api, const LedTarget& target, uint8_t* data, size_t size,
                   NV_I2C_INFO_V3& commandTemplate) {
    NV_I2C_INFO_V3 record = OwnRecord(target, data, static_cast<NvU32>(size), NV_I2C_SPEED_DEFAULT);
    Scratch scratch;
    const NvAPI_Status status = api.I2CReadEx(target.gpu, &record, scratch.words);
    if (status == NVAPI_OK) commandTemplate = record;
    return status;
}

NvAPI_Status OwnWrite(nvapi::NvApiAccess& api, const LedTarget& target, uint8_t* data,
                      size_t size) {
    NV_I2C_INFO_V3 record = OwnRecord(target, data, static_cast<NvU32>(size), NV_I2C_SPEED_LOWEST);
    Scratch scratch;
    return api.I2CWriteEx(target.gpu, &record, scratch.words);
}

template <size_t N>
Transfer Planned(Transfer::Kind kind, const std::array<uint8_t, N>& block) {
    return {kind, std::vector<uint8_t>(block.begin(), block.end()), 0};
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
    return Probe(api, target, buffer.data(), buffer.size(), commandTemplate);
}

NvAPI_Status ModeWrite2000(nvapi::NvApiAccess& api, const LedTarget& target,
                           const NV_I2C_INFO_V3& commandTemplate, int32_t mode, int32_t shade,
                           int32_t red, int32_t green, int32_t blue) {
    Block2000 block = ModeBlock2000(target.commandByte, mode, shade, red, green, blue);
    return WriteWithTemplate(api, target, commandTemplate, block.data(), block.size());
}

std::vector<Transfer> PlanLedCommand(const LedTarget& target, const LedSettings& settings) {
    const LedSettings& s = settings;
    const uint8_t command = target.commandByte;
    switch (target.family) {
        case kFamily2000: {
            const Transfer probe = ProbeRead(target);
            const Transfer mode =
                Planned(Transfer::Kind::kTemplateWrite,
                        ModeBlock2000(command, s.mode, s.shade, s.red, s.green, s.blue));
            const Transfer colour =
                Planned(Transfer::Kind::kTemplateWrite,
                        ColourBlock2000(command, s.on, s.shade, s.red, s.green, s.blue));
            const Transfer pause = {Transfer::Kind::kPause, {}, kBlockPauseMilliseconds};
            // Switching on shows the mode before the colour lights; switching off darkens first.
            if (s.on == 1) return {probe, mode, pause, colour};
            return {probe, colour, pause, mode};
        }
        case kFamily3000:
            return {Planned(Transfer::Kind::kOwnWrite, SettingsBlock3000(command, settings))};
        default:
            return {};
    }
}

Transfer ProbeRead(const LedTarget& target) {
    return Planned(Transfer::Kind::kProbeRead, MakeProbeBuffer(target.commandByte));
}

void SleepOnThisThread(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

NvAPI_Status SendTransfers(nvapi::NvApiAccess& api, const LedTarget& target,
                           const std::vector<Transfer>& transfers, const Pause& pause,
                           ProbeFailure onProbeFailure) {
    NV_I2C_INFO_V3 commandTemplate = MakeCommandTemplate(target);
    NvAPI_Status result = NVAPI_OK;  // a failed probe's, until a write follows
    for (const Transfer& transfer : transfers) {
        // Each transfer from storage of its own: the driver may write into what it is handed.
        std::vector<uint8_t> data = transfer.bytes;
        NvAPI_Status status = NVAPI_OK;
        switch (transfer.kind) {
            case Transfer::Kind::kProbeRead:
                result = Probe(api, target, data.data(), data.size(), commandTemplate);
                if (result != NVAPI_OK && onProbeFailure == ProbeFailure::kStop) return result;
                continue;
            case Transfer::Kind::kTemplateWrite:
                status = WriteWithTemplate(api, target, commandTemplate, data.data(), data.size());
                break;
            case Transfer::Kind::kOwnWrite:
                status = OwnWrite(api, target, data.data(), data.size());
                break;
            case Transfer::Kind::kPause:
                pause(transfer.milliseconds);
                continue;
        }
        if (status != NVAPI_OK) return status;
        result = status;
    }
    return result;
}

NvAPI_Status SendLedCommand(nvapi::NvApiAccess& api, const LedTarget& target,
                            const LedSettings& settings, const Pause& pause,
                            ProbeFailure onProbeFailure) {
    return SendTransfers(api, target, PlanLedCommand(target, settings), pause, onProbeFailure);
}

}  // namespace led
