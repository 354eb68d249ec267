#include "cli/commands/driver_session.h"

DriverSession::DriverSession(nvapi::NvApiAccess& api) : api_(api) {
    WriteDiscoveryDefaults(table_);
    discovery_ = FindGpus(api_, table_);
    if (!Found()) return;
    for (int slot = 0; slot < table_.gpuCount; ++slot) {
        const GpuSlot& gpuSlot = table_.gpuSlots[slot];
        Board board;
        board.slot = slot;
        board.target = led::TargetOfSlot(table_, slot);
        board.key = {gpuSlot.pciIdentifier, gpuSlot.bus};
        board.family = gpuSlot.family;
        board.supported = gpuSlot.supported == 1;
        board.name = NameAsUtf8(gpuSlot.name);
        boards_.push_back(board);
    }
}

DriverSession::~DriverSession() {
    if (discovery_.failure != DiscoveryFailure::kInitialisation) api_.Unload();
}

bool DriverSession::NotReadyYet() const {
    return discovery_.failure == DiscoveryFailure::kInitialisation ||
           discovery_.failure == DiscoveryFailure::kNoGpu;
}

bool DriverSession::Found() const {
    return discovery_.failure == DiscoveryFailure::kNone ||
           discovery_.failure == DiscoveryFailure::kNoSupportedBoard;
}

std::string DriverSession::FailureText() const {
    switch (discovery_.failure) {
        case DiscoveryFailure::kInitialisation:
            return "the driver could not be initialised (status " +
                   std::to_string(discovery_.status) + ")";
        case DiscoveryFailure::kNoGpu:
            return "the driver lists no GPU";
        case DiscoveryFailure::kNameUnreadable:
            return "the driver cannot tell a GPU's name";
        default:
            return std::string();
    }
}
