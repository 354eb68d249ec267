// One /dev/i2c-N adapter, open for plain I2C transfers. Each transfer is one read() or one
// write() of the whole block: many NVIDIA driver versions refuse I2C_RDWR.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/linux/device_fault.h"

// Whether ROOT/dev holds any /dev/i2c-* node: none at all means i2c-dev is not loaded.
bool AnyI2cNode(const std::string& root);

class I2cDevice {
  public:
    I2cDevice() = default;
    ~I2cDevice() { Close(); }
    I2cDevice(const I2cDevice&) = delete;
    I2cDevice& operator=(const I2cDevice&) = delete;
    I2cDevice(I2cDevice&& other) noexcept { *this = std::move(other); }
    I2cDevice& operator=(I2cDevice&& other) noexcept;

    // Opens ROOT/dev/i2c-NUMBER; refuses an adapter without plain I2C.
    DeviceFault Open(const std::string& root, int number);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Number() const { return number_; }

    // `address` is the 7-bit address. All `size` bytes, or a fault.
    DeviceFault Read(uint8_t address, uint8_t* data, size_t size);
    DeviceFault Write(uint8_t address, const uint8_t* data, size_t size);

  private:
    DeviceFault Fault(FaultKind kind, int error, const std::string& detail) const;
    DeviceFault Address(uint8_t address);

    int fd_ = -1;
    int number_ = -1;
    std::optional<uint8_t> address_;  // the address chosen on the open adapter
    std::string path_;
};
