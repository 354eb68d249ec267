#include "core/gpus/gpu_discovery.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A supported board as its PCI identifier names it.
struct SupportedBoard {
    const char* deviceIdText;  // "%x" of the identifier: device in the high 16 bits, vendor low
    int32_t family;
    uint8_t commandByte;
};

constexpr SupportedBoard kSupportedDeviceIds[] = {
    {"220410de", kFamily3000, kCommandByte3000}, {"220610de", kFamily3000, kCommandByte3000},
    {"248410de", kFamily3000, kCommandByte3000}, {"1e0710de", kFamily2000, kCommandByte2000},
    {"1e8710de", kFamily2000, kCommandByte2000}, {"1e8110de", kFamily2000, kCommandByte2000},
    {"1e8410de", kFamily2000, kCommandByte2000},
};
constexpr size_t kIdentifierTextLength = 8;

// Normal GPUs first, then the TCC ones behind them. The TCC call writes into a table of its own,
// so it can never write past ours, and only as many of its handles as still fit are kept.
NvU32 EnumerateGpus(nvapi::NvApiAccess& api, GpuTable& table) {
    NvU32 count = 0;
    NvU32 total = 0;
    if (api.EnumPhysicalGPUs(table.gpuHandles, &count) == NVAPI_OK) {
        total = std::min<NvU32>(count, NVAPI_MAX_PHYSICAL_GPUS);
    }
    NvPhysicalGpuHandle tccHandles[NVAPI_MAX_PHYSICAL_GPUS] = {};
    if (api.EnumTCCPhysicalGPUs(tccHandles, &count) == NVAPI_OK) {
        const NvU32 added = std::min<NvU32>(count, NVAPI_MAX_PHYSICAL_GPUS - total);
        std::copy(tccHandles, tccHandles + added, table.gpuHandles + total);
        total += added;
    }
    return total;
}

struct BusOfHandle {
    NvU32 bus;
    int32_t handleIndex;
};

// Each GPU's bus number is asked once and stays paired with its handle, so a GPU whose bus
// cannot be read (taken as 0) or two GPUs on one bus still get a slot each. Ties keep the
// enumeration order.
std::vector<BusOfHandle> HandlesByBus(nvapi::NvApiAccess& api, const GpuTable& table, NvU32 count) {
    std::vector<BusOfHandle> pairs;
    pairs.reserve(count);
    for (NvU32 i = 0; i < count; ++i) {
        NvU32 bus = 0;
        if (api.GPU_GetBusId(table.gpuHandles[i], &bus) != NVAPI_OK) bus = 0;
        pairs.push_back({bus, static_cast<int32_t>(i)});
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const BusOfHandle& a, const BusOfHandle& b) { return a.bus < b.bus; });
    return pairs;
}

// One wide character per byte; the name ends at its terminator or at the end of the driver's
// 64-byte buffer, whichever comes first, and is cut to what a slot keeps.
void StoreName(const char (&driverName)[NVAPI_SHORT_STRING_MAX],
               wchar_t (&name)[kGpuNameLength + 1]) {
    const void* end = std::memchr(driverName, '\0', sizeof(driverName));
    const size_t length = end ? static_cast<const char*>(end) - driverName : sizeof(driverName);
    const size_t kept = std::min<size_t>(length, kGpuNameLength);
    for (size_t i = 0; i < kept; ++i) {
        name[i] = static_cast<wchar_t>(static_cast<unsigned char>(driverName[i]));
    }
    std::fill(name + kept, name + kGpuNameLength + 1, L'\0');
}

// The supported board behind a PCI identifier, or null.
const SupportedBoard* FindSupportedBoard(uint32_t pciIdentifier) {
    char text[16] = {};
    std::snprintf(text, sizeof(text), "%x", static_cast<unsigned>(pciIdentifier));
    // A device below 0x1000 gives fewer than eight digits and can match nothing.
    if (std::strlen(text) != kIdentifierTextLength) return nullptr;
    for (const SupportedBoard& board : kSupportedDeviceIds) {
        if (std::strcmp(text, board.deviceIdText) == 0) return &board;
    }
    return nullptr;
}

void RecogniseBoard(nvapi::NvApiAccess& api, const GpuTable& table, GpuSlot& slot) {
    NvU32 deviceId = 0, subSystemId = 0, revisionId = 0, extDeviceId = 0;
    if (api.GPU_GetPCIIdentifiers(table.gpuHandles[slot.handleIndex], &deviceId, &subSystemId,
                                  &revisionId, &extDeviceId) != NVAPI_OK) {
        slot.pciIdentifier = 0;
        return;
    }
    slot.pciIdentifier = deviceId;
    const SupportedBoard* board = FindSupportedBoard(deviceId);
    if (board == nullptr) return;
    slot.family = board->family;
    slot.commandByte = board->commandByte;
    slot.supported = 1;
}

}  // namespace

void WriteDiscoveryDefaults(GpuTable& table) {
    table.ledControllerAddress = kLedControllerAddress;
    for (GpuSlot& slot : table.gpuSlots) slot.commandByte = kCommandByte3000;
}

DiscoveryResult FindGpus(nvapi::NvApiAccess& api, GpuTable& table) {
    DiscoveryResult result;
    const auto fail = [&result](DiscoveryFailure failure, NvAPI_Status status = NVAPI_OK) {
        result.failure = failure;
        result.status = status;
        return result;
    };
    const NvAPI_Status initStatus = api.Initialize();
    if (initStatus != NVAPI_OK) return fail(DiscoveryFailure::kInitialisation, initStatus);

    table.gpuCount = static_cast<int32_t>(EnumerateGpus(api, table));
    if (table.gpuCount < 1) return fail(DiscoveryFailure::kNoGpu, kNoGpuEnumerated);

    const std::vector<BusOfHandle> order =
        HandlesByBus(api, table, static_cast<NvU32>(table.gpuCount));
    for (int32_t k = 0; k < table.gpuCount && k < kMaxGpuSlots; ++k) {
        table.gpuSlots[k].handleIndex = order[k].handleIndex;
        table.gpuSlots[k].bus = order[k].bus;
    }

    for (int32_t k = 0; k < table.gpuCount; ++k) {
        if (k == kMaxGpuSlots) {
            result.moreThanEightGpus = true;
            table.gpuCount = kMaxGpuSlots;
            break;
        }
        GpuSlot& slot = table.gpuSlots[k];
        NvAPI_ShortString driverName = {};
        if (api.GPU_GetFullName(table.gpuHandles[slot.handleIndex], driverName) != NVAPI_OK) {
            return fail(DiscoveryFailure::kNameUnreadable);
        }
        StoreName(driverName, slot.name);
    }

    for (GpuSlot& slot : table.gpuSlots) {
        slot.supported = 0;
        slot.i2cInfoVersion = NV_I2C_INFO_VER3;
        slot.family = kFamily3000;
    }
    bool anySupported = false;
    for (int32_t k = 0; k < table.gpuCount; ++k) {
        RecogniseBoard(api, table, table.gpuSlots[k]);
        anySupported = anySupported || table.gpuSlots[k].supported == 1;
    }
    if (!anySupported) return fail(DiscoveryFailure::kNoSupportedBoard);
    return result;
}
