// The LED controller of a simulated board: which boards carry one, and how a block written to
// it changes the lighting it shows. Pure functions, so each layout is tested byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "simdriver/sim_driver.h"

namespace simdriver {

enum class LedController { kNone, kFamily2000, kFamily3000 };

// By the PCI device identifier in the high 16 bits of the combined id.
LedController ControllerForPciId(uint32_t pciId);

int FamilyNumber(LedController controller);  // 2000, 3000, or 0 without a controller

struct BlockOutcome {
    bool accepted = false;
    std::string problem;  // why a block was refused; empty when accepted
    BoardState state;     // the lighting after the block (unchanged when refused)
};

// Decodes one written block. A refused block leaves the lighting as it was.
BlockOutcome ApplyBlock(LedController controller, const BoardState& before,
                        const std::vector<uint8_t>& block);

}  // namespace simdriver
