// What the simulated driver is told to be: its GPUs and the faults it injects, from the
// plain-text scenario format or the default board pair.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/nvapi/nvapi_types.h"

namespace simdriver {

struct SimGpu {
    uint32_t bus = 0;
    std::string name;    // any length; at most 64 bytes reach the caller
    uint32_t pciId = 0;  // device in the high 16 bits, vendor 0x10DE in the low
    bool tcc = false;    // listed by the TCC enumeration instead of the normal one
    NvAPI_Status busIdStatus = NVAPI_OK;
    NvAPI_Status nameStatus = NVAPI_OK;
    NvAPI_Status pciStatus = NVAPI_OK;
    int temperature = 45;  // degrees Celsius, unless the temperatures file names this bus
};

struct Scenario {
    std::vector<SimGpu> gpus;
    NvAPI_Status initializeStatus = NVAPI_OK;
    // A driver still starting, as early in a logon: NvAPI_Initialize fails with notReadyStatus
    // while the calling process is younger than this many milliseconds (0 = always ready).
    int64_t notReadyForMilliseconds = 0;
    NvAPI_Status notReadyStatus = NVAPI_NVIDIA_DEVICE_NOT_FOUND;
    NvAPI_Status enumStatus = NVAPI_OK;     // normal enumeration
    NvAPI_Status tccEnumStatus = NVAPI_OK;  // TCC enumeration
    // Counts reported above what was written (to test the caller's clamping); 0 = honest.
    uint32_t enumReportedCount = 0;
    uint32_t tccEnumReportedCount = 0;
    int i2cWriteFailAt = 0;  // the n-th I2C write (1-based) fails; 0 = never
    NvAPI_Status i2cWriteFailStatus = NVAPI_ERROR;
    int i2cReadFailAt = 0;
    NvAPI_Status i2cReadFailStatus = NVAPI_ERROR;
    std::vector<NvU32> missingInterfaces;  // identifiers the driver lacks
    bool missingHooks = false;             // neither diagnostic hook
    bool missingCallReturnHook = false;    // only the call-start hook
    NvAPI_Status unloadStatus = NVAPI_OK;
    NvAPI_Status thermalStatus = NVAPI_OK;  // of every thermal query that passes the checks
    // Read at every thermal query, so a test can warm a GPU while a program runs; empty = none.
    std::string temperaturesPath;
    std::string logPath;  // JSON lines; empty = no file (the in-memory record is kept anyway)
};

// Two boards: "NVIDIA GeForce RTX 3080" (0x220610DE) on bus 1, "NVIDIA GeForce RTX 2080 SUPER"
// (0x1E8110DE) on bus 2.
Scenario DefaultScenario();

// Reads the plain-text scenario format (see the README). False with a message on bad input;
// the scenario then holds what the lines before the bad one set.
bool ParseScenario(const std::string& text, Scenario& scenario, std::string& error);

// What a temperatures file says of the GPU on one bus. Lines "BUS CELSIUS", or "BUS -" for a
// sensor that cannot be read; the last line naming the bus counts, lines of other forms are
// skipped. Not named: the GPU keeps its scenario temperature.
struct FileTemperature {
    bool named = false;
    std::optional<int> celsius;  // none: the sensor cannot be read
};
FileTemperature TemperatureInFile(const std::string& text, uint32_t bus);

// Reads and parses a scenario file (a UTF-8 path, also on Windows). False with a message.
bool ReadScenarioFile(const std::string& path, Scenario& scenario, std::string& error);

// The environment variable that names a scenario file for the DLL build.
constexpr const char* kScenarioVariable = "LUMIVAR_SIM_SCENARIO";

}  // namespace simdriver
