// The NVIDIA GPUs as the kernel shows them: PCI display devices of vendor 0x10de, in PCI address
// order, each with the I2C adapters the NVIDIA driver made for it and the model name the driver
// gives in /proc. Read afresh on every call: after a resume or a driver reload nothing earlier
// can be trusted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct NvidiaAdapter {
    int port = 0;    // the driver's own port number, from the adapter's name
    int number = 0;  // the N of /dev/i2c-N, unrelated to the port
};

struct NvidiaGpu {
    std::string address;  // "0000:01:00.0"
    uint32_t bus = 0;
    uint32_t pciId = 0;  // device in the high 16 bits, vendor in the low
    // The board's maker: subsystem device in the high 16 bits, subsystem vendor in the low; 0
    // where sysfs does not tell, as the revision.
    uint32_t subsystem = 0;
    uint32_t revision = 0;
    std::string name;
    std::vector<NvidiaAdapter> adapters;  // in port order
};

constexpr uint32_t kNvidiaVendor = 0x10de;
constexpr uint32_t kDisplayClass = 0x03;  // the base class, top byte of the class code

// Every NVIDIA display device under ROOT/sys/bus/pci/devices, sorted by PCI address.
std::vector<NvidiaGpu> FindNvidiaGpus(const std::string& root);

// "NVIDIA i2c adapter 2 at 1:00.0" gives 2; an adapter of any other driver gives nothing.
std::optional<int> AdapterPort(const std::string& adapterName);
// The value of the "Model:" line of /proc/driver/nvidia/gpus/ADDRESS/information.
std::optional<std::string> ModelName(const std::string& information);
// "0000:01:00.0" gives 1.
std::optional<uint32_t> BusOfAddress(const std::string& address);
// A sysfs number such as "0x10de\n".
std::optional<uint32_t> SysfsNumber(const std::string& text);
