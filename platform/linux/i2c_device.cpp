#include "platform/linux/i2c_device.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

// Without i2c-dev the kernel makes no node at all; one missing node among others is just a wrong
// number.
bool AnyI2cNode(const std::string& root) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root + "/dev", error)) {
        if (entry.path().filename().string().rfind("i2c-", 0) == 0) return true;
    }
    return false;
}

I2cDevice& I2cDevice::operator=(I2cDevice&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        number_ = other.number_;
        address_ = other.address_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

void I2cDevice::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    address_.reset();
}

DeviceFault I2cDevice::Fault(FaultKind kind, int error, const std::string& detail) const {
    return {kind, path_, error, detail};
}

DeviceFault I2cDevice::Open(const std::string& root, int number) {
    Close();
    number_ = number;
    path_ = root + "/dev/i2c-" + std::to_string(number);
    const int fd = open(path_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT && !AnyI2cNode(root)) return Fault(FaultKind::kNoDeviceNodes, 0, "");
        if (error == EACCES || error == EPERM) return Fault(FaultKind::kPermission, error, "");
        return Fault(FaultKind::kFailed, error, "opening");
    }
    fd_ = fd;
    unsigned long functions = 0;
    if (ioctl(fd_, I2C_FUNCS, &functions) < 0) {
        const int error = errno;
        Close();
        return Fault(FaultKind::kFailed, error, "asking what the adapter can do");
    }
    if ((functions & I2C_FUNC_I2C) == 0) {
        Close();
        return Fault(FaultKind::kNotPlainI2c, 0, "");
    }
    return {};
}

// Never I2C_SLAVE_FORCE: an address a kernel driver has taken is left to it.
DeviceFault I2cDevice::Address(uint8_t address) {
    if (address_ == address) return {};
    if (ioctl(fd_, I2C_SLAVE, static_cast<unsigned long>(address)) < 0) {
        const int error = errno;
        return Fault(error == EBUSY ? FaultKind::kBusy : FaultKind::kFailed, error,
                     "choosing the address");
    }
    address_ = address;
    return {};
}

DeviceFault I2cDevice::Read(uint8_t address, uint8_t* data, size_t size) {
    const DeviceFault addressed = Address(address);
    if (!addressed.Ok()) return addressed;
    const ssize_t got = read(fd_, data, size);
    if (got < 0) return Fault(FaultKind::kFailed, errno, "reading");
    if (static_cast<size_t>(got) != size) {
        return Fault(
            FaultKind::kFailed, 0,
            "reading " + std::to_string(size) + " bytes (got " + std::to_string(got) + ")");
    }
    return {};
}

DeviceFault I2cDevice::Write(uint8_t address, const uint8_t* data, size_t size) {
    const DeviceFault addressed = Address(address);
    if (!addressed.Ok()) return addressed;
    const ssize_t sent = write(fd_, data, size);
    if (sent < 0) return Fault(FaultKind::kFailed, errno, "writing");
    if (static_cast<size_t>(sent) != size) {
        return Fault(
            FaultKind::kFailed, 0,
            "writing " + std::to_string(size) + " bytes (" + std::to_string(sent) + " went out)");
    }
    return {};
}
