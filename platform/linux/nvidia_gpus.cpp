#include "platform/linux/nvidia_gpus.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr const char kAdapterPrefix[] = "NVIDIA i2c adapter ";

std::string FileText(const fs::path& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::optional<uint32_t> HexFile(const fs::path& path) {
    return SysfsNumber(FileText(path));
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The "NVIDIA i2c adapter" children of a GPU's PCI device, as i2c-N folders.
std::vector<NvidiaAdapter> AdaptersOf(const fs::path& device) {
    std::vector<NvidiaAdapter> adapters;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(device, error)) {
        const std::string folder = entry.path().filename().string();
        if (folder.rfind("i2c-", 0) != 0) continue;
        const std::string digits = folder.substr(4);
        if (digits.empty() || digits.size() > 7 ||
            !std::all_of(digits.begin(), digits.end(), ::isdigit)) {
            continue;
        }
        const std::optional<int> port = AdapterPort(FileText(entry.path() / "name"));
        if (port) adapters.push_back({*port, std::stoi(digits)});
    }
    std::sort(adapters.begin(), adapters.end(),
              [](const NvidiaAdapter& a, const NvidiaAdapter& b) { return a.port < b.port; });
    return adapters;
}

}  // namespace

std::optional<uint32_t> SysfsNumber(const std::string& text) {
    const std::string value = Trimmed(text);
    if (value.size() < 3 || value.size() > 10 || value.compare(0, 2, "0x") != 0) return {};
    if (!std::all_of(value.begin() + 2, value.end(), ::isxdigit)) return {};
    return static_cast<uint32_t>(std::stoul(value.substr(2), nullptr, 16));
}

std::optional<int> AdapterPort(const std::string& adapterName) {
    const size_t prefix = sizeof kAdapterPrefix - 1;
    if (adapterName.compare(0, prefix, kAdapterPrefix) != 0) return {};
    size_t end = prefix;
    while (end < adapterName.size() && std::isdigit(static_cast<unsigned char>(adapterName[end])))
        ++end;
    if (end == prefix || end - prefix > 6) return {};
    return std::stoi(adapterName.substr(prefix, end - prefix));
}

std::optional<std::string> ModelName(const std::string& information) {
    std::istringstream lines(information);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Model:", 0) != 0) continue;
        const std::string model = Trimmed(line.substr(6));
        if (!model.empty()) return model;
    }
    return {};
}

std::optional<uint32_t> BusOfAddress(const std::string& address) {
    const size_t first = address.find(':');
    const size_t second = address.find(':', first + 1);
    if (first == std::string::npos || second != first + 3) return {};
    return SysfsNumber("0x" + address.substr(first + 1, 2));
}

std::vector<NvidiaGpu> FindNvidiaGpus(const std::string& root) {
    std::vector<NvidiaGpu> gpus;
    std::error_code error;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(root + "/sys/bus/pci/devices", error)) {
        const fs::path& device = entry.path();
        const std::optional<uint32_t> vendor = HexFile(device / "vendor");
        const std::optional<uint32_t> deviceId = HexFile(device / "device");
        const std::optional<uint32_t> deviceClass = HexFile(device / "class");
        if (vendor != kNvidiaVendor || !deviceId || !deviceClass ||
            *deviceClass >> 16 != kDisplayClass) {
            continue;
        }
        NvidiaGpu gpu;
        gpu.address = device.filename().string();
        gpu.bus = BusOfAddress(gpu.address).value_or(0);
        gpu.pciId = *deviceId << 16 | *vendor;
        gpu.subsystem = HexFile(device / "subsystem_device").value_or(0) << 16 |
                        HexFile(device / "subsystem_vendor").value_or(0);
        gpu.revision = HexFile(device / "revision").value_or(0);
        const std::optional<std::string> model =
            ModelName(FileText(root + "/proc/driver/nvidia/gpus/" + gpu.address + "/information"));
        // Without the driver's /proc entry the address still tells the GPUs apart.
        gpu.name = model.value_or("NVIDIA GPU at " + gpu.address);
        gpu.adapters = AdaptersOf(device);
        gpus.push_back(gpu);
    }
    std::sort(gpus.begin(), gpus.end(),
              [](const NvidiaGpu& a, const NvidiaGpu& b) { return a.address < b.address; });
    return gpus;
}
