#include "cli/boards.h"

namespace {

// Well-formed UTF-8 up to the end, where a sequence may stop short; false otherwise.
bool ValidUtf8(const std::string& bytes, size_t& wholeLength) {
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        const size_t length = lead < 0x80                   ? 1
                              : lead >= 0xC2 && lead < 0xE0 ? 2
                              : lead >= 0xE0 && lead < 0xF0 ? 3
                              : lead >= 0xF0 && lead < 0xF5 ? 4
                                                            : 0;
        if (length == 0) return false;
        size_t j = 1;
        for (; j < length && i + j < bytes.size(); ++j) {
            if ((static_cast<unsigned char>(bytes[i + j]) & 0xC0) != 0x80) return false;
        }
        if (i + j == bytes.size() && j < length) break;  // cut at the end
        i += length;
    }
    wholeLength = i;
    return true;
}

}  // namespace

std::string Board::Label() const {
    return "GPU " + std::to_string(slot) + " (" + name + ")";
}

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

std::string NameAsUtf8(const wchar_t* slotName) {
    std::string bytes;
    for (const wchar_t* c = slotName; *c != L'\0'; ++c) {
        bytes += static_cast<char>(static_cast<unsigned char>(*c & 0xFF));
    }
    size_t whole = 0;
    if (ValidUtf8(bytes, whole)) return bytes.substr(0, whole);
    std::string latin1;
    for (char byte : bytes) {
        const unsigned char code = static_cast<unsigned char>(byte);
        if (code < 0x80) {
            latin1 += byte;
        } else {
            latin1 += static_cast<char>(0xC0 | (code >> 6));
            latin1 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return latin1;
}
