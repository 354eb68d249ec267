// The NVIDIA driver's management library (NVML), the one place Linux tells a GPU's temperature.
// Loaded at run time on first use, so that a machine without it still lights its boards, and
// held until Close, so that it is kept only while something follows a temperature.
#pragma once

#include <optional>
#include <string>

class NvmlLibrary {
  public:
    NvmlLibrary() = default;
    ~NvmlLibrary();
    NvmlLibrary(const NvmlLibrary&) = delete;
    NvmlLibrary& operator=(const NvmlLibrary&) = delete;

    // The GPU sensor's temperature in °C of the GPU at PCI address `pciAddress`
    // ("0000:01:00.0"); nothing when the library is missing or one of its calls fails.
    std::optional<int> GpuTemperature(const std::string& pciAddress);
    // Shuts the library down and lets it go; the next look loads it again.
    void Close();

  private:
    // NVML's own types: a return code (0 is success) and an opaque device.
    struct Device;
    using InitFn = int (*)();
    using ShutdownFn = int (*)();
    using HandleByPciBusIdFn = int (*)(const char* pciBusId, Device** device);
    using TemperatureFn = int (*)(Device* device, int sensor, unsigned* celsius);

    bool Open();

    bool tried_ = false;  // a library that failed to load or start is not asked again until Close
    void* library_ = nullptr;
    ShutdownFn shutdown_ = nullptr;
    HandleByPciBusIdFn handleByPciBusId_ = nullptr;
    TemperatureFn temperature_ = nullptr;
};
