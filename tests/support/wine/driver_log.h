// The simulated driver's side of a test: the scenario file it plays, and its log (one JSON object
// per call) read back and followed while the program runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace e2e {

using Json = nlohmann::json;

// A family-3000 board on bus 1 (slot 0) and a family-2000 board on bus 2 (slot 1).
inline const std::vector<std::string> kDefaultBoards = {
    "gpu bus=1 pci=220610de name=\"NVIDIA GeForce RTX 3080\"",
    "gpu bus=2 pci=1e8110de name=\"NVIDIA GeForce RTX 2080 SUPER\""};

// A scenario file for the simulated driver, with a log of the test's own (emptied first unless
// kept: a scenario rewritten under a running program, which the driver reads at its next load).
struct ScenarioFiles {
    std::wstring scenario, log;
};
ScenarioFiles WriteScenario(const std::wstring& name, const std::vector<std::string>& lines,
                            bool keepLog = false);
// The driver's log, one object per line; a line still being written is left out and counted.
std::vector<Json> ReadDriverLog(const ScenarioFiles& files, size_t* unreadable = nullptr);
// The log's lines of the calls whose names start with `call` (and, when given, of this status).
std::vector<Json> LoggedCalls(const ScenarioFiles& files, const std::string& call,
                              std::optional<int> status = {});

// An I2C transfer as the driver logged it.
struct Transfer {
    std::string call;  // NvAPI_I2CWriteEx or NvAPI_I2CReadEx
    int64_t t = 0;     // milliseconds, driver clock
    std::string data;  // "a2 01 ..."
    int64_t status = 0;
};

// Follows the driver's log while the program runs: what each command sent.
class DriverLogWatch {
  public:
    explicit DriverLogWatch(const ScenarioFiles& files) : files_(files) { Mark(); }
    void Mark();  // from now on
    // The transfers since the mark, once `writes` writes have arrived or the timeout has passed.
    std::vector<Transfer> WaitForWrites(size_t writes, DWORD timeoutMs = 15000) const;
    std::vector<Transfer> TransfersSinceMark() const;

  private:
    ScenarioFiles files_;
    size_t seen_ = 0;
};

// The data of the writes only.
std::vector<std::string> WrittenData(const std::vector<Transfer>& transfers);
// Writes one after the other.
inline std::vector<std::string> Joined(std::vector<std::string> first,
                                       const std::vector<std::string>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Bytes as the driver log writes them: "a2 01 ...".
template <typename Bytes>
std::string Hex(const Bytes& bytes) {
    std::string text;
    char digits[4];
    for (uint8_t byte : bytes)
        text += (std::snprintf(digits, sizeof digits, " %02x", byte), digits);
    return text.substr(text.empty() ? 0 : 1);
}

}  // namespace e2e
