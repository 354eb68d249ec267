// The driver's log: one flat JSON object per line, so that a test program can follow every call
// and every change of a board's lighting. Text the driver did not make (a GPU's name, a scenario
// line) may hold any bytes: what is not UTF-8 is written as U+FFFD, so every line stays JSON.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "simdriver/sim_driver.h"

namespace simdriver {

// {"t":..,"call":..,"bus":..,"status":..[, record fields, "data"][, "name"]
//  [, "sensorIndex"[, "temperature"]]}
std::string CallLine(const CallRecord& record);

// {"t":..,"board":bus,"family":..,"on":..,"mode":..,"red":..,...}
std::string BoardLine(int64_t milliseconds, uint32_t bus, int family, const BoardState& state);

// {"t":..,"board":bus,"ignored":reason,"detail":detail}
std::string IgnoredLine(int64_t milliseconds, uint32_t bus, const std::string& reason,
                        const std::string& detail);

// {"t":..,"event":event[,"gpus":count][,"error":error]}
std::string ConfiguredLine(int64_t milliseconds, size_t gpuCount);
std::string ScenarioErrorLine(int64_t milliseconds, const std::string& problem);

// {"t":0,"decoy":true,"call":"nvapi_QueryInterface","interface":"0x........"}
std::string DecoyQueryLine(NvU32 id);

// Appends lines to a file, each flushed at once so that a reader sees it while the driver runs.
class LogFile {
  public:
    LogFile() = default;
    ~LogFile() { Close(); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    bool Open(const std::string& path);  // false when the file cannot be opened for appending
    void Close();
    void Append(const std::string& line);

  private:
    std::FILE* file_ = nullptr;
};

}  // namespace simdriver
