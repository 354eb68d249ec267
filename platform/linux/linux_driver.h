// The driver's interface as the core knows it, served on Linux from sysfs, /proc and /dev/i2c-N
// (and the temperatures from NVML), so that the core's discovery, LED blocks and command order
// run unchanged on top of it.
// The GPUs are the NVIDIA display devices in PCI address order; a transfer on the LED port goes
// to the adapter where the controller answered. The module holds nothing between an unload and
// the next initialise: after a resume, adapters and their numbers may have changed.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/nvapi/driver_module_platform.h"
#include "core/nvapi/nvapi_types.h"
#include "platform/linux/device_fault.h"
#include "platform/linux/i2c_device.h"
#include "platform/linux/nvidia_gpus.h"
#include "platform/linux/nvml_library.h"
#include "core/settings/settings_file.h"

class LinuxDriver final : public nvapi::DriverModulePlatform {
  public:
    // `root` stands for / (tests); `i2cBus`, when given, is the adapter asked instead of a search
    // (see AdaptersToAsk).
    LinuxDriver(std::string root, std::optional<int> i2cBus);
    ~LinuxDriver() override;
    LinuxDriver(const LinuxDriver&) = delete;
    LinuxDriver& operator=(const LinuxDriver&) = delete;

    void* LoadDriverModule() override;
    void* FindExport(void* module, const char* name) override;
    void FreeDriverModule(void* module) override;
    void Sleep(unsigned milliseconds) override;

    // The /dev/i2c-N where the GPU's LED controller answered, searched for now if no transfer
    // has looked yet; nothing when no adapter answered.
    std::optional<int> ControllerAdapter(NvPhysicalGpuHandle gpu);
    // What the last failed transfer to this GPU met.
    DeviceFault LastFault(NvPhysicalGpuHandle gpu);
    // The adapters kept with the saved boards, each asked instead of a search while it is one of
    // its board's GPU's (--i2c-bus, when given, goes first), from the next search on.
    void UseSavedAdapters(const SavedSettings& saved);
    // The adapter where the GPU's controller answered when it was asked instead of a search
    // (--i2c-bus's, or the one kept with its board): what its saved entry keeps. Nothing after a
    // search.
    std::optional<int> ChosenAdapter(NvPhysicalGpuHandle gpu);

  private:
    struct Gpu {
        NvidiaGpu found;
        bool searched = false;
        I2cDevice controller;  // open once the controller answered
        DeviceFault fault;
        std::optional<int> chosen;  // the adapter asked instead of a search
    };

    static void* QueryInterface(NvU32 id);
    static NvAPI_Status Initialize();
    static NvAPI_Status Unload();
    static NvAPI_Status EnumGpus(NvPhysicalGpuHandle* handles, NvU32* count);
    static NvAPI_Status EnumTccGpus(NvPhysicalGpuHandle* handles, NvU32* count);
    static NvAPI_Status FullName(NvPhysicalGpuHandle gpu, char* name);
    static NvAPI_Status PciIdentifiers(NvPhysicalGpuHandle gpu, NvU32* deviceId, NvU32* subSystemId,
                                       NvU32* revisionId, NvU32* extDeviceId);
    static NvAPI_Status BusId(NvPhysicalGpuHandle gpu, NvU32* busId);
    static NvAPI_Status I2CWrite(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info, NvU32* scratch);
    static NvAPI_Status I2CRead(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info, NvU32* scratch);
    static NvAPI_Status ThermalSettings(NvPhysicalGpuHandle gpu, NvU32 sensorIndex,
                                        NV_GPU_THERMAL_SETTINGS* settings);

    Gpu* Find(NvPhysicalGpuHandle handle);
    NvAPI_Status Lookup(NvPhysicalGpuHandle handle, Gpu*& gpu);
    NvAPI_Status Transfer(NvPhysicalGpuHandle handle, NV_I2C_INFO_V3* info, NvU32* scratch,
                          bool write);
    void Search(Gpu& gpu);

    std::string root_;
    std::optional<int> i2cBus_;
    std::map<BoardKey, int> savedAdapters_;
    bool initialised_ = false;
    std::vector<Gpu> gpus_;
    NvPhysicalGpuHandle__ handles_[NVAPI_MAX_PHYSICAL_GPUS] = {};
    NvmlLibrary nvml_;  // the temperatures, loaded at the first look and let go at the unload
};
