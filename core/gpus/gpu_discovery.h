// Finds the NVIDIA GPUs, orders them by PCI bus number, names up to eight of them and recognises
// the SKARNE boards among them. What to tell the user about a failure is the caller's.
#pragma once

#include "core/gpus/gpu_slots.h"
#include "core/nvapi/nvapi_access.h"

// Written before the driver is touched, together with the LED defaults: the controller address
// and the command byte of every slot.
void WriteDiscoveryDefaults(GpuTable& table);

enum class DiscoveryFailure {
    kNone,
    kInitialisation,    // the driver's initialisation failed with `status`
    kNoGpu,             // nothing enumerated; `status` is kNoGpuEnumerated
    kNameUnreadable,    // a slot's name could not be read
    kNoSupportedBoard,  // every slot is named and recognised, none is a SKARNE board
};

struct DiscoveryResult {
    DiscoveryFailure failure = DiscoveryFailure::kNone;
    NvAPI_Status status = NVAPI_OK;
    // More than eight GPUs: only the eight of lowest bus number got slots. Known only once
    // their names were read, so never together with kNameUnreadable.
    bool moreThanEightGpus = false;
};

// Fills the slot table, in the order the program runs the steps; stops at the first failure.
DiscoveryResult FindGpus(nvapi::NvApiAccess& api, GpuTable& table);
