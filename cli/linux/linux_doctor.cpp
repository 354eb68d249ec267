#include "cli/linux/linux_doctor.h"

#include <cerrno>
#include <fstream>
#include <sstream>

#include "cli/commands/exit_codes.h"
#include "cli/linux/keeper_instance.h"
#include "cli/linux/keeper_log_file.h"
#include "platform/linux/flock_lock.h"
#include "platform/linux/folders.h"
#include "platform/linux/i2c_device.h"
#include "platform/linux/nvidia_gpus.h"

namespace {

DoctorFact Fact(std::string topic, std::string text, std::string fix = "") {
    DoctorFact fact;
    fact.topic = std::move(topic);
    fact.text = std::move(text);
    fact.fix = std::move(fix);
    fact.exitCode = fact.fix.empty() ? kExitDone : kExitDriverFailed;
    return fact;
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream file(path);
    if (!file) return false;
    std::ostringstream whole;
    whole << file.rdbuf();
    text = whole.str();
    return true;
}

// Each NVIDIA adapter's node, opened as the transfers open it and closed at once.
void AddAdapters(const std::string& root, std::vector<DoctorFact>& facts) {
    for (const NvidiaGpu& gpu : FindNvidiaGpus(root)) {
        if (gpu.adapters.empty()) {
            facts.push_back(Fact("adapters of " + gpu.address, "the NVIDIA driver made none"));
            continue;
        }
        for (const NvidiaAdapter& adapter : gpu.adapters) {
            const std::string node = "/dev/i2c-" + std::to_string(adapter.number);
            const std::string topic =
                node + " (port " + std::to_string(adapter.port) + " of " + gpu.address + ")";
            I2cDevice device;
            const DeviceFault fault = device.Open(root, adapter.number);
            // Without any node the i2c-dev line above says it all.
            DoctorFact fact = fault.Ok() ? Fact(topic, "this user may open it")
                              : fault.kind == FaultKind::kNoDeviceNodes
                                  ? Fact(topic, "missing", "load i2c-dev (above)")
                                  : Fact(topic, "cannot be opened", FaultText(fault));
            fact.fields = {{"node", node},
                           {"port", adapter.port},
                           {"gpu", gpu.address},
                           {"opens", fault.Ok()}};
            facts.push_back(fact);
        }
    }
}

}  // namespace

std::vector<DoctorFact> LinuxDoctor::DriverFacts() {
    const std::string root = SystemRoot();
    std::vector<DoctorFact> facts;
    std::string version;
    facts.push_back(
        ReadFile(root + "/proc/driver/nvidia/version", version)
            ? Fact("NVIDIA kernel module", LastLine(version.substr(0, version.find('\n'))))
            : Fact("NVIDIA kernel module", "/proc/driver/nvidia/version is missing",
                   "install NVIDIA's driver (proprietary or open kernel modules) and "
                   "load it (sudo modprobe nvidia, or restart)"));
    const DeviceFault noNodes{FaultKind::kNoDeviceNodes, "", 0, ""};
    facts.push_back(AnyI2cNode(root) ? Fact("i2c-dev", "loaded (/dev/i2c-* present)")
                                     : Fact("i2c-dev", "not loaded", FaultText(noNodes)));
    AddAdapters(root, facts);
    return facts;
}

std::unique_ptr<InterProcessLock> LinuxDoctor::BoardLockAtOnce() {
    return std::make_unique<FlockLock>(BoardLockPath(), 0,
                                       "another program is sending to the boards");
}

bool LinuxDoctor::KeeperRuns() {
    return ::KeeperRuns();
}

std::string LinuxDoctor::KeeperLogName() {
    return KeeperLogPath();
}

FileRead LinuxDoctor::ReadKeeperLog(std::string& text, std::string& error) {
    if (ReadFile(KeeperLogPath(), text)) return FileRead::kRead;
    if (errno == ENOENT) return FileRead::kAbsent;
    error = ErrnoText(errno);
    return FileRead::kFailed;
}

std::string LinuxDoctor::TemperatureFailure() {
    return "NVIDIA's management library (libnvidia-ml.so.1) is missing, did not start, or gave "
           "no reading for this GPU: it comes with NVIDIA's driver; meanwhile the board takes the "
           "first colour";
}
