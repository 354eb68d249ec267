#include "simdriver/board_model.h"

#include <cstddef>

namespace simdriver {

namespace {

constexpr uint8_t kCommandByte2000 = 0xA0;
constexpr uint8_t kCommandByte3000 = 0xA2;
constexpr size_t kBlockSize2000 = 8;
constexpr size_t kBlockSize3000 = 42;
constexpr uint8_t kColourBlockTag = 0xFC;
constexpr uint8_t kModeBlockTag = 0x00;
constexpr size_t kGroupsStart3000 = 10;
constexpr size_t kGroupSize3000 = 4;

const char* ModeName2000(uint8_t code) {
    switch (code) {
        case 0:
            return "STATIC";
        case 1:
            return "STROBING";
        case 2:
            return "COLOR CYCLE";
        case 3:
            return "BREATHING";
        case 4:
            return "WAVE";
        default:
            return nullptr;
    }
}

// Code 2 is never sent to these boards: there is no mode behind it.
const char* ModeName3000(uint8_t code) {
    switch (code) {
        case 0:
            return "STATIC";
        case 1:
            return "FLASH";
        case 3:
            return "BREATHING";
        case 4:
            return "WAVE";
        case 5:
            return "GLOWING";
        default:
            return nullptr;
    }
}

bool IsFlag(uint8_t value) {
    return value == 0 || value == 1;
}
bool IsIntervalCode3000(uint8_t value) {
    return value == 0 || value == 2 || value == 3;
}
bool IsBrightnessCode3000(uint8_t value) {
    return value <= 3;
}

BlockOutcome Refuse(const BoardState& before, std::string problem) {
    BlockOutcome outcome;
    outcome.problem = std::move(problem);
    outcome.state = before;
    return outcome;
}

BlockOutcome Accept(BoardState state) {
    BlockOutcome outcome;
    outcome.accepted = true;
    state.known = true;
    outcome.state = std::move(state);
    return outcome;
}

BlockOutcome ApplyBlock2000(const BoardState& before, const std::vector<uint8_t>& block) {
    if (block.size() != kBlockSize2000) {
        return Refuse(before, "length " + std::to_string(block.size()) + ", expected 8");
    }
    if (block[0] != kCommandByte2000) return Refuse(before, "first byte is not 0xA0");
    if (block[6] != 0x00 || block[7] != 0x04) return Refuse(before, "bytes 6 and 7 are not 00 04");
    BoardState after = before;
    after.red = block[3];
    after.green = block[4];
    after.blue = block[5];
    if (block[1] == kColourBlockTag) {
        if (!IsFlag(block[2])) return Refuse(before, "on/off byte is neither 0 nor 1");
        after.on = block[2] == 1;
        return Accept(after);
    }
    if (block[1] == kModeBlockTag) {
        const char* mode = ModeName2000(block[2]);
        if (mode == nullptr) return Refuse(before, "unknown mode code " + std::to_string(block[2]));
        after.mode = mode;
        return Accept(after);
    }
    return Refuse(before, "second byte is neither 0xFC nor 0x00");
}

BlockOutcome ApplyBlock3000(const BoardState& before, const std::vector<uint8_t>& block) {
    if (block.size() != kBlockSize3000) {
        return Refuse(before, "length " + std::to_string(block.size()) + ", expected 42");
    }
    if (block[0] != kCommandByte3000) return Refuse(before, "first byte is not 0xA2");
    if (block[1] != 0x01) return Refuse(before, "second byte is not 0x01");
    if (!IsFlag(block[2])) return Refuse(before, "on/off byte is neither 0 nor 1");
    const char* mode = ModeName3000(block[3]);
    if (mode == nullptr) return Refuse(before, "unknown mode code " + std::to_string(block[3]));
    if (!IsFlag(block[7])) return Refuse(before, "cycle byte is neither 0 nor 1");
    if (!IsIntervalCode3000(block[8])) return Refuse(before, "unknown interval code");
    if (!IsBrightnessCode3000(block[9])) return Refuse(before, "unknown brightness code");
    for (size_t group = kGroupsStart3000; group < kBlockSize3000; group += kGroupSize3000) {
        if (block[group] != block[4] || block[group + 1] != block[5] ||
            block[group + 2] != block[6] || block[group + 3] != block[8]) {
            return Refuse(before, "group at byte " + std::to_string(group) +
                                      " differs from the leading colour and interval");
        }
    }
    BoardState after = before;
    after.on = block[2] == 1;
    after.mode = mode;
    after.red = block[4];
    after.green = block[5];
    after.blue = block[6];
    after.cycle = block[7] == 1;
    after.intervalCode = block[8];
    after.brightnessCode = block[9];
    return Accept(after);
}

}  // namespace

LedController ControllerForPciId(uint32_t pciId) {
    switch (pciId >> 16) {
        case 0x2204:
        case 0x2206:
        case 0x2484:
            return LedController::kFamily3000;
        case 0x1E07:
        case 0x1E87:
        case 0x1E81:
        case 0x1E84:
            return LedController::kFamily2000;
        default:
            return LedController::kNone;
    }
}

int FamilyNumber(LedController controller) {
    switch (controller) {
        case LedController::kFamily2000:
            return 2000;
        case LedController::kFamily3000:
            return 3000;
        default:
            return 0;
    }
}

BlockOutcome ApplyBlock(LedController controller, const BoardState& before,
                        const std::vector<uint8_t>& block) {
    switch (controller) {
        case LedController::kFamily2000:
            return ApplyBlock2000(before, block);
        case LedController::kFamily3000:
            return ApplyBlock3000(before, block);
        default:
            return Refuse(before, "the board has no LED controller");
    }
}

}  // namespace simdriver
