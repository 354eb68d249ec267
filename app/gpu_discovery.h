// Finds the NVIDIA GPUs once at start-up, orders them by PCI bus number, names up to eight of
// them and recognises the SKARNE boards among them.
#pragma once

#include <cstdint>

#include "app/gpu_slots.h"
#include "app/startup_messages.h"
#include "nvapi/nvapi_access.h"

// Written before the driver is touched, together with the LED defaults: the controller address
// and the command byte of every slot.
void WriteDiscoveryDefaults(GpuTable& table);

// Fills the slot table. False after the failure's message has been shown: the program ends.
bool DiscoverGpus(nvapi::NvApiAccess& api, GpuTable& table, StartupMessages& messages);

// A supported board as its PCI identifier names it.
struct SupportedBoard {
    const char* deviceIdText;  // "%x" of the identifier: device in the high 16 bits, vendor low
    int32_t family;
    uint8_t commandByte;
};

// The supported board behind a PCI identifier, or null.
const SupportedBoard* FindSupportedBoard(uint32_t pciIdentifier);
