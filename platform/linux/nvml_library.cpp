#include "platform/linux/nvml_library.h"

#include <dlfcn.h>

namespace {

constexpr char kLibraryName[] = "libnvidia-ml.so.1";
constexpr int kSuccess = 0;
constexpr int kGpuSensor = 0;  // the sensor on the GPU's die

template <typename Fn>
Fn Symbol(void* library, const char* name) {
    return reinterpret_cast<Fn>(dlsym(library, name));
}

}  // namespace

NvmlLibrary::~NvmlLibrary() {
    Close();
}

bool NvmlLibrary::Open() {
    if (library_ != nullptr || tried_) return library_ != nullptr;
    tried_ = true;
    void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return false;
    const auto init = Symbol<InitFn>(library, "nvmlInit_v2");
    shutdown_ = Symbol<ShutdownFn>(library, "nvmlShutdown");
    handleByPciBusId_ = Symbol<HandleByPciBusIdFn>(library, "nvmlDeviceGetHandleByPciBusId_v2");
    temperature_ = Symbol<TemperatureFn>(library, "nvmlDeviceGetTemperature");
    if (init == nullptr || shutdown_ == nullptr || handleByPciBusId_ == nullptr ||
        temperature_ == nullptr || init() != kSuccess) {
        dlclose(library);
        return false;
    }
    library_ = library;
    return true;
}

std::optional<int> NvmlLibrary::GpuTemperature(const std::string& pciAddress) {
    if (!Open()) return std::nullopt;
    Device* device = nullptr;
    unsigned celsius = 0;
    if (handleByPciBusId_(pciAddress.c_str(), &device) != kSuccess ||
        temperature_(device, kGpuSensor, &celsius) != kSuccess) {
        return std::nullopt;
    }
    return static_cast<int>(celsius);
}

void NvmlLibrary::Close() {
    if (library_ != nullptr) {
        shutdown_();
        dlclose(library_);
    }
    library_ = nullptr;
    tried_ = false;
}
