#include "platform/linux/linux_driver.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/linux/controller_search.h"

namespace {

// The served functions take no context, as the driver's own: they reach the loaded module here.
LinuxDriver* loaded = nullptr;

template <typename Fn>
void* Entry(Fn function) {
    return reinterpret_cast<void*>(function);
}

}  // namespace

LinuxDriver::LinuxDriver(std::string root, std::optional<int> i2cBus)
    : root_(std::move(root)), i2cBus_(i2cBus) {}

LinuxDriver::~LinuxDriver() {
    if (loaded == this) loaded = nullptr;
}

void* LinuxDriver::LoadDriverModule() {
    loaded = this;
    return this;
}

void* LinuxDriver::FindExport(void* module, const char* name) {
    const bool query = module == this && std::strcmp(name, "nvapi_QueryInterface") == 0;
    return query ? Entry(&LinuxDriver::QueryInterface) : nullptr;
}

void LinuxDriver::FreeDriverModule(void* module) {
    if (module != this) return;
    gpus_.clear();
    initialised_ = false;
    nvml_.Close();
    loaded = nullptr;
}

void LinuxDriver::Sleep(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void* LinuxDriver::QueryInterface(NvU32 id) {
    switch (id) {
        case nvapi_id::kInitialize:
            return Entry(&Initialize);
        case nvapi_id::kUnload:
            return Entry(&Unload);
        case nvapi_id::kEnumPhysicalGPUs:
            return Entry(&EnumGpus);
        case nvapi_id::kEnumTCCPhysicalGPUs:
            return Entry(&EnumTccGpus);
        case nvapi_id::kGpuGetFullName:
            return Entry(&FullName);
        case nvapi_id::kGpuGetPCIIdentifiers:
            return Entry(&PciIdentifiers);
        case nvapi_id::kGpuGetBusId:
            return Entry(&BusId);
        case nvapi_id::kI2CWriteEx:
            return Entry(&I2CWrite);
        case nvapi_id::kI2CReadEx:
            return Entry(&I2CRead);
        case nvapi_id::kGpuGetThermalSettings:
            return Entry(&ThermalSettings);
        default:
            return nullptr;
    }
}

NvAPI_Status LinuxDriver::Initialize() {
    LinuxDriver& self = *loaded;
    self.gpus_.clear();
    for (NvidiaGpu& found : FindNvidiaGpus(self.root_)) {
        if (self.gpus_.size() == NVAPI_MAX_PHYSICAL_GPUS) break;
        self.gpus_.push_back({std::move(found), false, I2cDevice(), DeviceFault(), std::nullopt});
    }
    self.initialised_ = !self.gpus_.empty();
    return self.initialised_ ? NVAPI_OK : NVAPI_NVIDIA_DEVICE_NOT_FOUND;
}

NvAPI_Status LinuxDriver::Unload() {
    LinuxDriver& self = *loaded;
    for (Gpu& gpu : self.gpus_) gpu.controller.Close();
    self.nvml_.Close();
    self.initialised_ = false;
    return NVAPI_OK;
}

NvAPI_Status LinuxDriver::EnumGpus(NvPhysicalGpuHandle* handles, NvU32* count) {
    LinuxDriver& self = *loaded;
    if (!self.initialised_) return NVAPI_API_NOT_INITIALIZED;
    if (handles == nullptr || count == nullptr) return NVAPI_INVALID_ARGUMENT;
    for (size_t i = 0; i < self.gpus_.size(); ++i) handles[i] = &self.handles_[i];
    *count = static_cast<NvU32>(self.gpus_.size());
    return NVAPI_OK;
}

// Compute-only (TCC) GPUs are display devices to the kernel too, already in the list above.
NvAPI_Status LinuxDriver::EnumTccGpus(NvPhysicalGpuHandle* handles, NvU32* count) {
    if (!loaded->initialised_) return NVAPI_API_NOT_INITIALIZED;
    if (handles == nullptr || count == nullptr) return NVAPI_INVALID_ARGUMENT;
    *count = 0;
    return NVAPI_OK;
}

LinuxDriver::Gpu* LinuxDriver::Find(NvPhysicalGpuHandle handle) {
    for (size_t i = 0; i < gpus_.size(); ++i) {
        if (handle == &handles_[i]) return &gpus_[i];
    }
    return nullptr;
}

NvAPI_Status LinuxDriver::Lookup(NvPhysicalGpuHandle handle, Gpu*& gpu) {
    if (!initialised_) return NVAPI_API_NOT_INITIALIZED;
    gpu = Find(handle);
    return gpu != nullptr ? NVAPI_OK : NVAPI_INVALID_HANDLE;
}

NvAPI_Status LinuxDriver::FullName(NvPhysicalGpuHandle handle, char* name) {
    Gpu* gpu = nullptr;
    const NvAPI_Status status = loaded->Lookup(handle, gpu);
    if (status != NVAPI_OK) return status;
    if (name == nullptr) return NVAPI_INVALID_ARGUMENT;
    const std::string& text = gpu->found.name;
    const size_t length = std::min(text.size(), NVAPI_SHORT_STRING_MAX - 1);
    std::memcpy(name, text.data(), length);
    name[length] = '\0';
    return NVAPI_OK;
}

NvAPI_Status LinuxDriver::PciIdentifiers(NvPhysicalGpuHandle handle, NvU32* deviceId,
                                         NvU32* subSystemId, NvU32* revisionId,
                                         NvU32* extDeviceId) {
    Gpu* gpu = nullptr;
    const NvAPI_Status status = loaded->Lookup(handle, gpu);
    if (status != NVAPI_OK) return status;
    if (!deviceId || !subSystemId || !revisionId || !extDeviceId) return NVAPI_INVALID_ARGUMENT;
    // The boards are told apart by the device alone; the board's maker and the revision are
    // told for the user's eyes. The kernel knows no extended identifier.
    *deviceId = gpu->found.pciId;
    *subSystemId = gpu->found.subsystem;
    *revisionId = gpu->found.revision;
    *extDeviceId = 0;
    return NVAPI_OK;
}

NvAPI_Status LinuxDriver::BusId(NvPhysicalGpuHandle handle, NvU32* busId) {
    Gpu* gpu = nullptr;
    const NvAPI_Status status = loaded->Lookup(handle, gpu);
    if (status != NVAPI_OK) return status;
    if (busId == nullptr) return NVAPI_INVALID_ARGUMENT;
    *busId = gpu->found.bus;
    return NVAPI_OK;
}

void LinuxDriver::Search(Gpu& gpu) {
    gpu.searched = true;
    std::optional<int> chosen = i2cBus_;
    const auto saved = savedAdapters_.find({gpu.found.pciId, gpu.found.bus});
    // Only while the adapter is still the GPU's: the numbers may change between boots.
    if (!chosen && saved != savedAdapters_.end() && HoldsAdapter(gpu.found, saved->second)) {
        chosen = saved->second;
    }
    gpu.chosen = chosen;
    bool anotherGpus = false;
    for (const Gpu& other : gpus_) {
        anotherGpus =
            anotherGpus || (&other != &gpu && chosen && HoldsAdapter(other.found, *chosen));
    }
    gpu.fault =
        FindController(root_, AdaptersToAsk(gpu.found, chosen, anotherGpus), gpu.controller);
}

NvAPI_Status LinuxDriver::Transfer(NvPhysicalGpuHandle handle, NV_I2C_INFO_V3* info, NvU32* scratch,
                                   bool write) {
    Gpu* gpu = nullptr;
    const NvAPI_Status status = Lookup(handle, gpu);
    if (status != NVAPI_OK) return status;
    if (info == nullptr || scratch == nullptr) return NVAPI_INVALID_ARGUMENT;
    if (info->version != NV_I2C_INFO_VER3) return NVAPI_INCOMPATIBLE_STRUCT_VERSION;
    // Only what the boards' transfers use: no register address, no display port, the LED port.
    if ((info->pbData == nullptr && info->cbSize != 0) || info->regAddrSize != 0 ||
        info->bIsDDCPort != 0 || info->bIsPortIdSet == 0 || info->portId != kLedPort) {
        return NVAPI_INVALID_ARGUMENT;
    }
    if (!gpu->searched) Search(*gpu);
    if (!gpu->controller.IsOpen()) return NVAPI_ERROR;
    const uint8_t address = info->i2cDevAddress >> 1;
    const DeviceFault fault = write ? gpu->controller.Write(address, info->pbData, info->cbSize)
                                    : gpu->controller.Read(address, info->pbData, info->cbSize);
    if (fault.Ok()) return NVAPI_OK;
    gpu->fault = fault;
    return NVAPI_ERROR;
}

NvAPI_Status LinuxDriver::I2CWrite(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info, NvU32* scratch) {
    return loaded->Transfer(gpu, info, scratch, true);
}

NvAPI_Status LinuxDriver::I2CRead(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info, NvU32* scratch) {
    return loaded->Transfer(gpu, info, scratch, false);
}

// The GPU's one sensor, as the driver reports it, from NVML; only the question for every sensor
// is answered, as the program asks it.
NvAPI_Status LinuxDriver::ThermalSettings(NvPhysicalGpuHandle handle, NvU32 sensorIndex,
                                          NV_GPU_THERMAL_SETTINGS* settings) {
    Gpu* gpu = nullptr;
    const NvAPI_Status status = loaded->Lookup(handle, gpu);
    if (status != NVAPI_OK) return status;
    if (settings == nullptr) return NVAPI_INVALID_ARGUMENT;
    if (settings->version != NV_GPU_THERMAL_SETTINGS_VER_2)
        return NVAPI_INCOMPATIBLE_STRUCT_VERSION;
    if (sensorIndex != NVAPI_THERMAL_TARGET_ALL) return NVAPI_INVALID_ARGUMENT;
    const std::optional<int> celsius = loaded->nvml_.GpuTemperature(gpu->found.address);
    if (!celsius) return NVAPI_ERROR;
    settings->count = 1;
    settings->sensor[0] = {NVAPI_THERMAL_CONTROLLER_GPU_INTERNAL, 0, 127, *celsius,
                           NVAPI_THERMAL_TARGET_GPU};
    return NVAPI_OK;
}

std::optional<int> LinuxDriver::ControllerAdapter(NvPhysicalGpuHandle handle) {
    Gpu* gpu = Find(handle);
    if (gpu == nullptr) return std::nullopt;
    if (!gpu->searched) Search(*gpu);
    if (!gpu->controller.IsOpen()) return std::nullopt;
    return gpu->controller.Number();
}

std::optional<int> LinuxDriver::ChosenAdapter(NvPhysicalGpuHandle handle) {
    const std::optional<int> adapter = ControllerAdapter(handle);
    const Gpu* gpu = Find(handle);
    return gpu != nullptr && adapter == gpu->chosen ? adapter : std::nullopt;
}

void LinuxDriver::UseSavedAdapters(const SavedSettings& saved) {
    savedAdapters_.clear();
    for (const SavedBoard& board : saved.boards) {
        if (board.i2cBus) savedAdapters_[board.key] = *board.i2cBus;
    }
}

DeviceFault LinuxDriver::LastFault(NvPhysicalGpuHandle handle) {
    const Gpu* gpu = Find(handle);
    return gpu != nullptr ? gpu->fault : DeviceFault();
}
