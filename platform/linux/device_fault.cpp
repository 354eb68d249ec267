#include "platform/linux/device_fault.h"

#include "platform/linux/folders.h"

std::string FaultText(const DeviceFault& fault) {
    const std::string why = fault.error != 0 ? ": " + ErrnoText(fault.error) : "";
    switch (fault.kind) {
        case FaultKind::kNone:
            return "done";
        case FaultKind::kNoDeviceNodes:
            return "there is no /dev/i2c-* device: load the i2c-dev module "
                   "(sudo modprobe i2c-dev; the lumivar package loads it at boot)";
        case FaultKind::kPermission:
            return "permission denied on " + fault.path +
                   ": the lumivar package's udev rule gives the logged-in user the NVIDIA "
                   "adapters (log out and in, or run sudo udevadm trigger), or join the i2c group";
        case FaultKind::kBusy:
            return "the LED controller's address on " + fault.path +
                   " is busy: a kernel driver holds it";
        case FaultKind::kNotPlainI2c:
            return fault.path + " takes no plain I2C transfers";
        case FaultKind::kNoAdapter:
            return "the GPU has no NVIDIA i2c adapter: is the NVIDIA driver loaded?";
        case FaultKind::kNoAnswer:
            return "no LED controller answered on any I2C adapter of this GPU (" + fault.path +
                   "); the board may have none, or it sits elsewhere (try --i2c-bus N)";
        case FaultKind::kFailed:
            break;
    }
    return fault.detail + " on " + fault.path + " failed" + why;
}
