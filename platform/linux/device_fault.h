// Why a transfer could not reach a board's LED controller, kept precisely enough (the node, the
// errno) to tell the user what to do about it.
#pragma once

#include <string>

enum class FaultKind {
    kNone,
    kNoDeviceNodes,  // no /dev/i2c-* at all: the i2c-dev module is not loaded
    kPermission,     // the node exists, this user may not open it
    kBusy,           // a kernel driver holds the controller's address
    kNotPlainI2c,    // the adapter takes SMBus commands only
    kNoAdapter,      // the GPU has no adapter of the NVIDIA driver
    kNoAnswer,       // no adapter of the GPU answered at the controller's address
    kFailed,         // an open, read or write failed otherwise
};

struct DeviceFault {
    FaultKind kind = FaultKind::kNone;
    std::string path;    // the node, or for kNoAnswer the adapters that were asked
    int error = 0;       // errno, where there is one
    std::string detail;  // what was being done: "open", "read", "write 5 of 8 bytes"

    bool Ok() const { return kind == FaultKind::kNone; }
};

// The fault in plain words, with what to do about it.
std::string FaultText(const DeviceFault& fault);
