// The simulated driver: a stand-in for NVIDIA's API module that serves every interface the
// program uses, emulates a set of GPUs with their boards' LED controllers, checks its callers
// as a real driver would, injects faults on demand and logs every call it serves.
// The same core runs in-process in native tests and inside the nvapi64.dll built for Wine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/nvapi/nvapi_types.h"
#include "simdriver/scenario.h"

namespace simdriver {

// Replaces the driver's whole state: GPUs, faults, counters, board models and log. The driver
// starts uninitialised; the test hooks are left as they are. Without any call to Configure the
// driver serves DefaultScenario().
void Configure(const Scenario& scenario);

// A driver that could not read its scenario: no GPUs, NvAPI_Initialize fails with NVAPI_ERROR,
// and the problem is the first line of the log (when a log path is known).
void ConfigureFailed(const std::string& problem, const std::string& logPath);

// The largest transfer the boards' LED controller takes, in bytes.
constexpr NvU32 kMaxTransferBytes = 64;
// The LED controller's device address, as the I2C record carries it.
constexpr NvU8 kControllerAddress = 0x92;

// How long the calling process has run, in milliseconds. The module asks the system, because the
// process may free and load it again between attempts; in-process the clock starts at the
// driver's first use.
void SetProcessAgeSource(std::function<int64_t()> source);

// What the module's export nvapi_QueryInterface returns.
void* QueryInterface(NvU32 id);

// One served call, as logged.
struct CallRecord {
    int64_t milliseconds = 0;  // since the driver was configured
    std::string call;          // e.g. "NvAPI_I2CWriteEx"
    int64_t bus = -1;          // the GPU's bus, -1 when the call has none or the handle is bad
    NvAPI_Status status = NVAPI_OK;
    bool hasI2c = false;    // the fields below are set for I2C calls with a record
    NV_I2C_INFO_V3 info{};  // the record as received (pointers kept only as null/non-null)
    bool regAddressNull = true;
    bool dataNull = true;
    std::vector<uint8_t> data;  // the bytes written, or read back
    // Diagnostic reports: the interface reported on, and (call-return) the status reported.
    NvU32 reportedInterface = 0;
    NvAPI_Status reportedStatus = NVAPI_OK;
    NvU32 argument = 0;     // the unload with argument
    std::string name;       // the name's bytes as NvAPI_GPU_GetFullName wrote them (at most 64)
    NvU32 sensorIndex = 0;  // the thermal query's sensor index
    int temperature = 0;    // the temperature it returned
};
std::vector<CallRecord> Calls();

// The driver's name for an interface, as it appears in CallRecord::call; null when unknown.
const char* CallName(NvU32 id);

// Every line written to the log file so far (kept also when the scenario names no file).
std::vector<std::string> LogLines();

// The lighting a board shows after the writes it has taken.
struct BoardState {
    bool known = false;  // false until a well-formed block has been decoded
    bool on = false;
    std::string mode;  // "STATIC", "STROBING", ... as the family names it
    uint8_t red = 0, green = 0, blue = 0;
    bool cycle = false;
    int intervalCode = -1;    // family 3000 only
    int brightnessCode = -1;  // family 3000 only
};
BoardState Board(uint32_t bus);

// Test hooks (native tests only): run at the start of every served call / of the unload, outside
// the driver's own lock, so a test can hold a call inside the driver.
void SetCallHook(std::function<void(NvU32 id)> hook);
void SetUnloadHook(std::function<void()> hook);

}  // namespace simdriver
