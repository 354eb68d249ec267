// Plays the NVIDIA driver's management library (NVML), built as libnvidia-ml.so.1 in a folder of
// its own that the tests put on LD_LIBRARY_PATH. The temperatures come from the file
// FAKE_NVML_TEMPERATURES names, read at each call: lines "0000:01:00.0 62", or "0000:01:00.0 -"
// for a read that fails. Each call is appended to FAKE_NVML_LOG as "PID init|shutdown|temperature
// ADDRESS". As NVML, nothing answers before nvmlInit_v2 or after the matching nvmlShutdown.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr int kSuccess = 0, kUninitialised = 1, kNotFound = 6, kUnknown = 999;
int initialised = 0;      // nvmlInit_v2 less nvmlShutdown
std::string devices[16];  // a device handle points to its PCI address

int Log(const std::string& what, int result) {
    if (FILE* log = std::fopen(std::getenv("FAKE_NVML_LOG"), "a")) {
        std::fprintf(log, "%d %s\n", static_cast<int>(getpid()), what.c_str());
        std::fclose(log);
    }
    return result;
}

// The file's word for the address: a number, "-", or nothing when the address is not there.
std::string TemperatureWord(const std::string& address) {
    std::ifstream file(std::getenv("FAKE_NVML_TEMPERATURES"));
    for (std::string line; std::getline(file, line);) {
        if (line.rfind(address + " ", 0) == 0) return line.substr(address.size() + 1);
    }
    return "";
}

}  // namespace

extern "C" {

// FAKE_NVML_INIT=fail: a driver whose library does not start.
int nvmlInit_v2() {
    const char* init = std::getenv("FAKE_NVML_INIT");
    if (init != nullptr && std::string(init) == "fail") return Log("init", kUnknown);
    ++initialised;
    return Log("init", kSuccess);
}

int nvmlShutdown() {
    return Log("shutdown", initialised > 0 ? (--initialised, kSuccess) : kUninitialised);
}

int nvmlDeviceGetHandleByPciBusId_v2(const char* address, std::string** device) {
    if (initialised == 0) return kUninitialised;
    if (TemperatureWord(address).empty()) return kNotFound;
    for (std::string& slot : devices) {
        if (slot.empty()) slot = address;
        if (slot == address) return *device = &slot, kSuccess;
    }
    return kUnknown;
}

int nvmlDeviceGetTemperature(std::string* device, int sensor, unsigned* celsius) {
    if (initialised == 0) return kUninitialised;
    const std::string word = TemperatureWord(*device);
    if (sensor != 0 || word.empty() || word == "-") return Log("temperature " + *device, kUnknown);
    *celsius = static_cast<unsigned>(std::stoul(word));
    return Log("temperature " + *device, kSuccess);
}
}
