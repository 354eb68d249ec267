#include "platform/linux/controller_search.h"

#include <algorithm>

std::vector<int> SearchOrder(const std::vector<NvidiaAdapter>& adapters) {
    std::vector<NvidiaAdapter> ordered = adapters;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const NvidiaAdapter& a, const NvidiaAdapter& b) {
                         const bool aFirst = a.port == kLedPort, bFirst = b.port == kLedPort;
                         return aFirst != bFirst ? aFirst : a.port < b.port;
                     });
    std::vector<int> numbers;
    for (const NvidiaAdapter& adapter : ordered) numbers.push_back(adapter.number);
    return numbers;
}

bool HoldsAdapter(const NvidiaGpu& gpu, int number) {
    return std::any_of(gpu.adapters.begin(), gpu.adapters.end(),
                       [number](const NvidiaAdapter& adapter) { return adapter.number == number; });
}

std::vector<int> AdaptersToAsk(const NvidiaGpu& gpu, std::optional<int> chosen,
                               bool chosenIsAnotherGpus) {
    if (chosen && !chosenIsAnotherGpus) return {*chosen};
    return SearchOrder(gpu.adapters);
}

DeviceFault FindController(const std::string& root, const std::vector<int>& numbers,
                           I2cDevice& device) {
    if (numbers.empty()) return {FaultKind::kNoAdapter, "", 0, ""};
    DeviceFault telling;
    std::string asked;
    for (const int number : numbers) {
        asked += (asked.empty() ? "i2c-" : ", i2c-") + std::to_string(number);
        I2cDevice candidate;
        DeviceFault fault = candidate.Open(root, number);
        if (fault.Ok()) {
            uint8_t answer[kProbeBytes] = {};
            fault = candidate.Read(kControllerAddress, answer, sizeof answer);
            if (fault.Ok()) {
                device = std::move(candidate);
                return {};
            }
            if (fault.kind == FaultKind::kFailed) continue;  // nobody answered here
        }
        if (fault.kind == FaultKind::kNoDeviceNodes || fault.kind == FaultKind::kPermission) {
            return fault;
        }
        if (telling.Ok()) telling = fault;
    }
    return telling.Ok() ? DeviceFault{FaultKind::kNoAnswer, asked, 0, ""} : telling;
}
