// The driver's state behind one lock, and the functions it serves through QueryInterface.
#include "simdriver/sim_driver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>

#include "simdriver/board_model.h"
#include "simdriver/call_log.h"
#include "simdriver/utf8_path.h"

namespace simdriver {

namespace {

struct GpuEntry {
    SimGpu gpu;
    LedController controller = LedController::kNone;
    BoardState board;
    NvPhysicalGpuHandle handle = nullptr;
};

struct DriverState {
    bool configured = false;
    Scenario scenario;
    std::vector<GpuEntry> gpus;
    bool initialized = false;
    int i2cWrites = 0;
    int i2cReads = 0;
    NvU32 reportSerial = 0;  // the call-start report's mark, checked by the call-return report
    uint32_t generation = 0;
    std::chrono::steady_clock::time_point start;
    std::vector<CallRecord> calls;
    std::vector<std::string> lines;
    LogFile log;
};

std::mutex& StateLock() {
    static std::mutex lock;
    return lock;
}

DriverState& State() {
    static DriverState state;
    return state;
}

std::mutex& HookLock() {
    static std::mutex lock;
    return lock;
}

std::function<void(NvU32)>& CallHook() {
    static std::function<void(NvU32)> hook;
    return hook;
}

std::function<void()>& UnloadHook() {
    static std::function<void()> hook;
    return hook;
}

std::function<int64_t()>& ProcessAgeSource() {
    static std::function<int64_t()> source = [] {
        static const std::chrono::steady_clock::time_point firstUse =
            std::chrono::steady_clock::now();
        return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - firstUse)
                                        .count());
    };
    return source;
}

// Handles are tagged values, never dereferenced: a handle from an earlier configuration (or one
// the driver never issued) matches no GPU of the current one.
NvPhysicalGpuHandle HandleFor(uint32_t generation, size_t index) {
    const uintptr_t value =
        0x40000000u | ((generation & 0x3FFu) << 18) | ((static_cast<uintptr_t>(index) + 1) << 4);
    return reinterpret_cast<NvPhysicalGpuHandle>(value);
}

int64_t Milliseconds(const DriverState& state) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 state.start)
        .count();
}

void WriteLine(DriverState& state, const std::string& line) {
    state.lines.push_back(line);
    state.log.Append(line);
}

void Reset(DriverState& state, const Scenario& scenario) {
    const uint32_t generation = state.generation + 1;
    state.log.Close();
    state.configured = true;
    state.scenario = scenario;
    state.gpus.clear();
    for (size_t i = 0; i < scenario.gpus.size(); ++i) {
        GpuEntry entry;
        entry.gpu = scenario.gpus[i];
        entry.controller = ControllerForPciId(entry.gpu.pciId);
        entry.handle = HandleFor(generation, i);
        state.gpus.push_back(entry);
    }
    state.initialized = false;
    state.i2cWrites = 0;
    state.i2cReads = 0;
    state.reportSerial = 0;
    state.generation = generation;
    state.start = std::chrono::steady_clock::now();
    state.calls.clear();
    state.lines.clear();
    if (!scenario.logPath.empty() && !state.log.Open(scenario.logPath)) {
        std::fprintf(stderr, "simdriver: cannot open log file %s\n", scenario.logPath.c_str());
    }
}

// The state, set to the default board pair if nobody configured the driver.
DriverState& ReadyState() {
    DriverState& state = State();
    if (!state.configured) {
        Reset(state, DefaultScenario());
        WriteLine(state, ConfiguredLine(0, state.gpus.size()));
    }
    return state;
}

GpuEntry* FindGpu(DriverState& state, NvPhysicalGpuHandle handle) {
    if (handle == nullptr) return nullptr;
    for (GpuEntry& entry : state.gpus) {
        if (entry.handle == handle) return &entry;
    }
    return nullptr;
}

CallRecord NewRecord(NvU32 id, const GpuEntry* gpu) {
    CallRecord record;
    record.call = CallName(id);
    record.bus = gpu != nullptr ? static_cast<int64_t>(gpu->gpu.bus) : -1;
    return record;
}

NvAPI_Status Finish(DriverState& state, CallRecord& record) {
    record.milliseconds = Milliseconds(state);
    WriteLine(state, CallLine(record));
    state.calls.push_back(record);
    return record.status;
}

// Test hooks run before the lock is taken, so a test can hold a call inside the driver while
// other threads keep calling.
void RunCallHook(NvU32 id) {
    std::function<void(NvU32)> hook;
    {
        std::lock_guard<std::mutex> guard(HookLock());
        hook = CallHook();
    }
    if (hook) hook(id);
}

void RunUnloadHook() {
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> guard(HookLock());
        hook = UnloadHook();
    }
    if (hook) hook();
}

// Checks common to every call on a GPU: the API is up and the handle is one of ours.
NvAPI_Status GpuCallStatus(const DriverState& state, const GpuEntry* gpu) {
    if (!state.initialized) return NVAPI_API_NOT_INITIALIZED;
    if (gpu == nullptr) return NVAPI_INVALID_HANDLE;
    return NVAPI_OK;
}

// A query about one GPU: the API is up, the handle is ours, the outputs are there, and the
// scenario does not fail this query for this GPU.
NvAPI_Status GpuQueryStatus(const DriverState& state, const GpuEntry* gpu, bool outputsGiven,
                            NvAPI_Status SimGpu::*fault) {
    NvAPI_Status status = GpuCallStatus(state, gpu);
    if (status == NVAPI_OK && !outputsGiven) status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK) status = gpu->gpu.*fault;
    return status;
}

NvAPI_Status ServeInitialize() {
    RunCallHook(nvapi_id::kInitialize);
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = ReadyState();
    CallRecord record = NewRecord(nvapi_id::kInitialize, nullptr);
    record.status = state.scenario.initializeStatus;
    if (record.status == NVAPI_OK && state.scenario.notReadyForMilliseconds > 0) {
        std::function<int64_t()> age;
        {
            std::lock_guard<std::mutex> hookGuard(HookLock());
            age = ProcessAgeSource();
        }
        if (age() < state.scenario.notReadyForMilliseconds) {
            record.status = state.scenario.notReadyStatus;
        }
    }
    if (record.status == NVAPI_OK) state.initialized = true;
    return Finish(state, record);
}

NvAPI_Status UnloadCommon(NvU32 id, NvU32 argument) {
    RunCallHook(id);
    RunUnloadHook();
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = ReadyState();
    CallRecord record = NewRecord(id, nullptr);
    record.argument = argument;
    if (!state.initialized) {
        record.status = NVAPI_API_NOT_INITIALIZED;
    } else if (argument != 0) {
        record.status = NVAPI_INVALID_ARGUMENT;
    } else {
        record.status = state.scenario.unloadStatus;
        if (record.status == NVAPI_OK) state.initialized = false;
    }
    return Finish(state, record);
}

NvAPI_Status ServeUnload() {
    return UnloadCommon(nvapi_id::kUnload, 0);
}

NvAPI_Status ServeUnloadWithArgument(NvU32 argument) {
    return UnloadCommon(nvapi_id::kUnloadWithArgument, argument);
}

// The start report marks the context; the return report checks that the mark came back with
// the same interface, which shows the caller carried the context through the call.
NvAPI_Status ServeCallStartReport(NvU32 id, NvU32* context) {
    RunCallHook(nvapi_id::kCallStartHook);
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = ReadyState();
    CallRecord record = NewRecord(nvapi_id::kCallStartHook, nullptr);
    record.reportedInterface = id;
    if (context == nullptr) {
        record.status = NVAPI_INVALID_ARGUMENT;
    } else {
        context[0] = ++state.reportSerial;
        context[1] = id;
    }
    return Finish(state, record);
}

NvAPI_Status ServeCallReturnReport(NvU32 id, NvU32 word0, NvU32 word1, NvAPI_Status status) {
    RunCallHook(nvapi_id::kCallReturnHook);
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = ReadyState();
    CallRecord record = NewRecord(nvapi_id::kCallReturnHook, nullptr);
    record.reportedInterface = id;
    record.reportedStatus = status;
    const bool markedByStart = word0 != 0 && word0 <= state.reportSerial && word1 == id;
    record.status = markedByStart ? NVAPI_OK : NVAPI_INVALID_ARGUMENT;
    return Finish(state, record);
}

NvAPI_Status EnumerateGpus(NvU32 id, bool tcc, NvPhysicalGpuHandle* handles, NvU32* count) {
    RunCallHook(id);
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = ReadyState();
    CallRecord record = NewRecord(id, nullptr);
    const Scenario& scenario = state.scenario;
    if (!state.initialized) {
        record.status = NVAPI_API_NOT_INITIALIZED;
    } else if (handles == nullptr || count == nullptr) {
        record.status = NVAPI_INVALID_ARGUMENT;
    } else if ((tcc ? scenario.tccEnumStatus : scenario.enumStatus) != NVAPI_OK) {
        record.status = tcc ? scenario.tccEnumStatus : scenario.enumStatus;
    } else {
        NvU32 written = 0;
        for (const GpuEntry& entry : state.gpus) {
            if (entry.gpu.tcc != tcc) continue;
            if (written == NVAPI_MAX_PHYSICAL_GPUS) break;
            handles[written++] = entry.handle;
        }
        const NvU32 reported = tcc ? scenario.tccEnumReportedCount : scenario.enumReportedCount;
        *count = reported != 0 ? reported : written;
    }
    return Finish(state, record);
}

NvAPI_Status ServeEnumPhysicalGPUs(NvPhysicalGpuHandle* handles, NvU32* count) {
    return EnumerateGpus(nvapi_id::kEnumPhysicalGPUs, false, handles, count);
}

NvAPI_Status ServeEnumTCCPhysicalGPUs(NvPhysicalGpuHandle* handles, NvU32* count) {
    return EnumerateGpus(nvapi_id::kEnumTCCPhysicalGPUs, true, handles, count);
}

NvAPI_Status ServeGetBusId(NvPhysicalGpuHandle handle, NvU32* busId) {
    RunCallHook(nvapi_id::kGpuGetBusId);
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = ReadyState();
    GpuEntry* gpu = FindGpu(state, handle);
    CallRecord record = NewRecord(nvapi_id::kGpuGetBusId, gpu);
    record.status = GpuQueryStatus(state, gpu, busId != nullptr, &SimGpu::busIdStatus);
    if (record.status == NVAPI_OK) *busId = gpu->gpu.bus;
    return Finish(state, record);
}

// At most the buffer's 64 bytes: a name that long or longer arrives without a terminator.
NvAPI_Status ServeGetFullName(NvPhysicalGpuHandle handle, char* name) {
    RunCallHook(nvapi_id::kGpuGetFullName);
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = ReadyState();
    GpuEntry* gpu = FindGpu(state, handle);
    CallRecord record = NewRecord(nvapi_id::kGpuGetFullName, gpu);
    record.status = GpuQueryStatus(state, gpu, name != nullptr, &SimGpu::nameStatus);
    if (record.status == NVAPI_OK) {
        const std::string& full = gpu->gpu.name;
        const size_t copied = std::min(full.size(), NVAPI_SHORT_STRING_MAX);
        std::memcpy(name, full.data(), copied);
        if (copied < NVAPI_SHORT_STRING_MAX) name[copied] = '\0';
        record.name = full.substr(0, copied);
    }
    return Finish(state, record);
}

NvAPI_Status ServeGetPCIIdentifiers(NvPhysicalGpuHandle handle, NvU32* deviceId, NvU32* subSystemId,
                                    NvU32* revisionId, NvU32* extDeviceId) {
    RunCallHook(nvapi_id::kGpuGetPCIIdentifiers);
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = ReadyState();
    GpuEntry* gpu = FindGpu(state, handle);
    CallRecord record = NewRecord(nvapi_id::kGpuGetPCIIdentifiers, gpu);
    const bool outputsGiven = deviceId != nullptr && subSystemId != nullptr &&
                              revisionId != nullptr && extDeviceId != nullptr;
    record.status = GpuQueryStatus(state, gpu, outputsGiven, &SimGpu::pciStatus);
    if (record.status == NVAPI_OK) {
        *deviceId = gpu->gpu.pciId;
        *subSystemId = 0;
        *revisionId = 0xA1;
        *extDeviceId = gpu->gpu.pciId >> 16;
    }
    return Finish(state, record);
}

// The GPU's temperature at this moment: what the temperatures file says of its bus, when the
// file is there and names it, else the scenario's. None: its sensor cannot be read.
std::optional<int> CurrentTemperature(const Scenario& scenario, const SimGpu& gpu) {
    std::string text;
    if (!scenario.temperaturesPath.empty() &&
        ReadUtf8PathFile(scenario.temperaturesPath, text) == FileRead::kDone) {
        const FileTemperature inFile = TemperatureInFile(text, gpu.bus);
        if (inFile.named) return inFile.celsius;
    }
    return gpu.temperature;
}

NvAPI_Status CheckThermalQuery(const DriverState& state, const GpuEntry* gpu, NvU32 sensorIndex,
                               const NV_GPU_THERMAL_SETTINGS* settings) {
    const NvAPI_Status status = GpuCallStatus(state, gpu);
    if (status != NVAPI_OK) return status;
    if (settings == nullptr) return NVAPI_INVALID_ARGUMENT;
    if (settings->version != NV_GPU_THERMAL_SETTINGS_VER_2) {
        return NVAPI_INCOMPATIBLE_STRUCT_VERSION;
    }
    // Only the question for all sensors is answered, as the program asks it.
    if (sensorIndex != NVAPI_THERMAL_TARGET_ALL) return NVAPI_INVALID_ARGUMENT;
    return state.scenario.thermalStatus;
}

// One sensor, the GPU's own; the rest of the record is left as the caller sent it.
NvAPI_Status ServeGetThermalSettings(NvPhysicalGpuHandle handle, NvU32 sensorIndex,
                                     NV_GPU_THERMAL_SETTINGS* settings) {
    RunCallHook(nvapi_id::kGpuGetThermalSettings);
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = ReadyState();
    GpuEntry* gpu = FindGpu(state, handle);
    CallRecord record = NewRecord(nvapi_id::kGpuGetThermalSettings, gpu);
    record.sensorIndex = sensorIndex;
    record.status = CheckThermalQuery(state, gpu, sensorIndex, settings);
    if (record.status == NVAPI_OK) {
        const std::optional<int> temperature = CurrentTemperature(state.scenario, gpu->gpu);
        if (temperature) {
            settings->count = 1;
            settings->sensor[0] = {NVAPI_THERMAL_CONTROLLER_GPU_INTERNAL, 0, 127, *temperature,
                                   NVAPI_THERMAL_TARGET_GPU};
            record.temperature = *temperature;
        } else {
            record.status = NVAPI_ERROR;
        }
    }
    return Finish(state, record);
}

NvAPI_Status CheckTransfer(const DriverState& state, const GpuEntry* gpu,
                           const NV_I2C_INFO_V3* info, const NvU32* scratch) {
    const NvAPI_Status status = GpuCallStatus(state, gpu);
    if (status != NVAPI_OK) return status;
    if (info == nullptr || scratch == nullptr) return NVAPI_INVALID_ARGUMENT;
    if (info->version != NV_I2C_INFO_VER3) return NVAPI_INCOMPATIBLE_STRUCT_VERSION;
    if (info->pbI2cRegAddress == nullptr && info->regAddrSize != 0) return NVAPI_INVALID_ARGUMENT;
    if (info->pbData == nullptr && info->cbSize != 0) return NVAPI_INVALID_ARGUMENT;
    if (info->cbSize > kMaxTransferBytes) return NVAPI_INVALID_ARGUMENT;
    return NVAPI_OK;
}

// What the board does with a write that reached the bus, as one log line.
void DeliverToBoard(DriverState& state, GpuEntry& gpu, const NV_I2C_INFO_V3& info,
                    const std::vector<uint8_t>& data, int64_t milliseconds) {
    const uint32_t bus = gpu.gpu.bus;
    if (info.bIsDDCPort != 0) {
        WriteLine(state, IgnoredLine(milliseconds, bus, "no device at this address",
                                     "sent to the display's DDC port"));
        return;
    }
    if (info.i2cDevAddress != kControllerAddress || gpu.controller == LedController::kNone) {
        char detail[64];
        std::snprintf(
            detail, sizeof detail, "address 0x%02x%s", info.i2cDevAddress,
            gpu.controller == LedController::kNone ? ", board without LED controller" : "");
        WriteLine(state, IgnoredLine(milliseconds, bus, "no device at this address", detail));
        return;
    }
    const BlockOutcome outcome = ApplyBlock(gpu.controller, gpu.board, data);
    if (!outcome.accepted) {
        WriteLine(state, IgnoredLine(milliseconds, bus, "malformed block", outcome.problem));
        return;
    }
    gpu.board = outcome.state;
    WriteLine(state, BoardLine(milliseconds, bus, FamilyNumber(gpu.controller), gpu.board));
}

NvAPI_Status Transfer(NvU32 id, NvPhysicalGpuHandle handle, NV_I2C_INFO_V3* info, NvU32* scratch) {
    RunCallHook(id);
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = ReadyState();
    const bool write = id == nvapi_id::kI2CWriteEx;
    const Scenario& scenario = state.scenario;
    const int callNumber = write ? ++state.i2cWrites : ++state.i2cReads;
    GpuEntry* gpu = FindGpu(state, handle);
    CallRecord record = NewRecord(id, gpu);
    if (info != nullptr) {
        record.hasI2c = true;
        record.info = *info;
        record.info.pbI2cRegAddress = nullptr;  // pointers are kept only as null or set
        record.info.pbData = nullptr;
        record.regAddressNull = info->pbI2cRegAddress == nullptr;
        record.dataNull = info->pbData == nullptr;
    }
    record.status = CheckTransfer(state, gpu, info, scratch);
    const bool argumentsValid = record.status == NVAPI_OK;
    if (argumentsValid &&
        callNumber == (write ? scenario.i2cWriteFailAt : scenario.i2cReadFailAt)) {
        record.status = write ? scenario.i2cWriteFailStatus : scenario.i2cReadFailStatus;
    }
    if (argumentsValid && write) {
        record.data.assign(info->pbData, info->pbData + info->cbSize);
    }
    // The controller answers reads with zeros and leaves the record as the caller filled it.
    if (record.status == NVAPI_OK && !write) {
        if (info->cbSize != 0) std::memset(info->pbData, 0, info->cbSize);
        record.data.assign(info->cbSize, 0);
    }
    const NvAPI_Status status = Finish(state, record);
    if (status == NVAPI_OK && write) {
        DeliverToBoard(state, *gpu, *info, record.data, record.milliseconds);
    }
    return status;
}

NvAPI_Status ServeI2CWriteEx(NvPhysicalGpuHandle handle, NV_I2C_INFO_V3* info, NvU32* scratch) {
    return Transfer(nvapi_id::kI2CWriteEx, handle, info, scratch);
}

NvAPI_Status ServeI2CReadEx(NvPhysicalGpuHandle handle, NV_I2C_INFO_V3* info, NvU32* scratch) {
    return Transfer(nvapi_id::kI2CReadEx, handle, info, scratch);
}

template <typename Fn>
void* Entry(Fn function) {
    return reinterpret_cast<void*>(function);
}

// Every interface the driver serves: its identifier, its name in the log, and the function
// nvapi_QueryInterface hands out for it.
struct ServedInterface {
    NvU32 id;
    const char* name;
    void* function;
};

const ServedInterface* FindInterface(NvU32 id) {
    static const ServedInterface kServed[] = {
        {nvapi_id::kInitialize, "NvAPI_Initialize", Entry<NvInitializeFn>(&ServeInitialize)},
        {nvapi_id::kUnload, "NvAPI_Unload", Entry<NvUnloadFn>(&ServeUnload)},
        {nvapi_id::kUnloadWithArgument, "NvAPI_UnloadWithArgument",
         Entry<NvUnloadWithArgumentFn>(&ServeUnloadWithArgument)},
        {nvapi_id::kCallStartHook, "NvAPI_CallStartReport",
         Entry<NvCallStartHookFn>(&ServeCallStartReport)},
        {nvapi_id::kCallReturnHook, "NvAPI_CallReturnReport",
         Entry<NvCallReturnHookFn>(&ServeCallReturnReport)},
        {nvapi_id::kEnumPhysicalGPUs, "NvAPI_EnumPhysicalGPUs",
         Entry<NvEnumPhysicalGPUsFn>(&ServeEnumPhysicalGPUs)},
        {nvapi_id::kEnumTCCPhysicalGPUs, "NvAPI_EnumTCCPhysicalGPUs",
         Entry<NvEnumPhysicalGPUsFn>(&ServeEnumTCCPhysicalGPUs)},
        {nvapi_id::kGpuGetFullName, "NvAPI_GPU_GetFullName",
         Entry<NvGpuGetFullNameFn>(&ServeGetFullName)},
        {nvapi_id::kGpuGetPCIIdentifiers, "NvAPI_GPU_GetPCIIdentifiers",
         Entry<NvGpuGetPCIIdentifiersFn>(&ServeGetPCIIdentifiers)},
        {nvapi_id::kGpuGetBusId, "NvAPI_GPU_GetBusId", Entry<NvGpuGetBusIdFn>(&ServeGetBusId)},
        {nvapi_id::kGpuGetThermalSettings, "NvAPI_GPU_GetThermalSettings",
         Entry<NvGpuGetThermalSettingsFn>(&ServeGetThermalSettings)},
        {nvapi_id::kI2CWriteEx, "NvAPI_I2CWriteEx", Entry<NvI2CTransferFn>(&ServeI2CWriteEx)},
        {nvapi_id::kI2CReadEx, "NvAPI_I2CReadEx", Entry<NvI2CTransferFn>(&ServeI2CReadEx)},
    };
    for (const ServedInterface& served : kServed) {
        if (served.id == id) return &served;
    }
    return nullptr;
}

bool IsMissing(const Scenario& scenario, NvU32 id) {
    if (std::find(scenario.missingInterfaces.begin(), scenario.missingInterfaces.end(), id) !=
        scenario.missingInterfaces.end()) {
        return true;
    }
    if (scenario.missingHooks &&
        (id == nvapi_id::kCallStartHook || id == nvapi_id::kCallReturnHook)) {
        return true;
    }
    return scenario.missingCallReturnHook && id == nvapi_id::kCallReturnHook;
}

}  // namespace

const char* CallName(NvU32 id) {
    const ServedInterface* served = FindInterface(id);
    return served != nullptr ? served->name : nullptr;
}

void Configure(const Scenario& scenario) {
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = State();
    Reset(state, scenario);
    WriteLine(state, ConfiguredLine(0, state.gpus.size()));
}

void ConfigureFailed(const std::string& problem, const std::string& logPath) {
    Scenario broken;
    broken.initializeStatus = NVAPI_ERROR;
    broken.logPath = logPath;
    std::lock_guard<std::mutex> guard(StateLock());
    DriverState& state = State();
    Reset(state, broken);
    WriteLine(state, ScenarioErrorLine(0, problem));
}

void* QueryInterface(NvU32 id) {
    std::lock_guard<std::mutex> guard(StateLock());
    if (IsMissing(ReadyState().scenario, id)) return nullptr;
    const ServedInterface* served = FindInterface(id);
    return served != nullptr ? served->function : nullptr;
}

std::vector<CallRecord> Calls() {
    std::lock_guard<std::mutex> guard(StateLock());
    return ReadyState().calls;
}

std::vector<std::string> LogLines() {
    std::lock_guard<std::mutex> guard(StateLock());
    return ReadyState().lines;
}

BoardState Board(uint32_t bus) {
    std::lock_guard<std::mutex> guard(StateLock());
    for (const GpuEntry& entry : ReadyState().gpus) {
        if (entry.gpu.bus == bus) return entry.board;
    }
    return BoardState();
}

void SetCallHook(std::function<void(NvU32 id)> hook) {
    std::lock_guard<std::mutex> guard(HookLock());
    CallHook() = std::move(hook);
}

void SetUnloadHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> guard(HookLock());
    UnloadHook() = std::move(hook);
}

void SetProcessAgeSource(std::function<int64_t()> source) {
    std::lock_guard<std::mutex> guard(HookLock());
    ProcessAgeSource() = std::move(source);
}

}  // namespace simdriver
