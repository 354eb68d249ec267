// The simulated driver's side of a test: the scenario file it plays, and its log (one JSON object
// per call) read back and followed while the program runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace e2e {

using Json = nlohmann::json;

// A family-3000 board on bus 1 (slot 0) and a family-2000 board on bus 2 (slot 1).
inline const std::vector<std::string> kDefaultBoards = {
    "gpu bus=1 pci=220610de name=\"NVIDIA GeForce RTX 3080\"",
    "gpu bus=2 pci=1e8110de name=\"NVIDIA GeForce RTX 2080 SUPER\""};

// A scenario file for the simulated driver, with a log of the test's own (emptied first).
struct ScenarioFiles {
    std::wstring scenario, log;
};
ScenarioFiles WriteScenario(const std::wstring& name, const std::vector<std::string>& lines);
// The driver's log, one object per line; a line still being written is left out and counted.
std::vector<Json> ReadDriverLog(const ScenarioFiles& files, size_t* unreadable = nullptr);
// The driver calls in the log, in order ("NvAPI_Initialize", ...).
std::vector<std::string> CallNames(const ScenarioFiles& files);

// An I2C transfer as the driver logged it, with the board's line after a write that reached it
// (its lighting afterwards, or why it was ignored).
struct Transfer {
    std::string call;  // NvAPI_I2CWriteEx or NvAPI_I2CReadEx
    int64_t t = 0;     // milliseconds, driver clock
    std::string data;  // "a2 01 ..."
    int64_t deviceAddress = 0, size = 0, bus = 0, status = 0;
    Json line, board;
};

// Follows the driver's log while the program runs: what each command sent.
class DriverLogWatch {
  public:
    explicit DriverLogWatch(const ScenarioFiles& files) : files_(files) { Mark(); }
    void Mark();  // from now on
    // The transfers since the mark, once `writes` writes (and their boards' lines) have arrived
    // or the timeout has passed.
    std::vector<Transfer> WaitForWrites(size_t writes, DWORD timeoutMs = 15000) const;
    std::vector<Transfer> TransfersSinceMark() const;

  private:
    ScenarioFiles files_;
    size_t seen_ = 0;
};

// The data of the writes only.
std::vector<std::string> WrittenData(const std::vector<Transfer>& transfers);

// Bytes as the driver log writes them: "a2 01 ...".
template <typename Bytes>
std::string Hex(const Bytes& bytes) {
    std::string text;
    for (uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, " %02x", byte);
        text += digits;
    }
    return text.substr(text.empty() ? 0 : 1);
}

}  // namespace e2e
