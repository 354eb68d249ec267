#include "simdriver/call_log.h"

#include <cinttypes>
#include <vector>

#include <nlohmann/json.hpp>

#include "simdriver/utf8_path.h"

namespace simdriver {

namespace {

// Keys stay in the order written, "t" first, so a line reads the same way every time.
using Line = nlohmann::ordered_json;

Line Timed(int64_t milliseconds) {
    Line line;
    line["t"] = milliseconds;
    return line;
}

// Bytes that are not UTF-8 become U+FFFD instead of making the line unreadable.
std::string Dump(const Line& line) {
    return line.dump(-1, ' ', false, Line::error_handler_t::replace);
}

std::string HexInterface(NvU32 id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08" PRIx32, id);
    return text;
}

// Lowercase hex bytes separated by spaces: "a2 01 01".
std::string HexBytes(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

void AddRecord(Line& line, const CallRecord& record) {
    const NV_I2C_INFO_V3& info = record.info;
    line["version"] = info.version;
    line["displayMask"] = info.displayMask;
    line["bIsDDCPort"] = info.bIsDDCPort;
    line["i2cDevAddress"] = info.i2cDevAddress;
    line["pbI2cRegAddress"] = record.regAddressNull ? "null" : "set";
    line["regAddrSize"] = info.regAddrSize;
    line["pbData"] = record.dataNull ? "null" : "set";
    line["cbSize"] = info.cbSize;
    line["i2cSpeed"] = info.i2cSpeed;
    line["i2cSpeedKhz"] = info.i2cSpeedKhz;
    line["portId"] = info.portId;
    line["bIsPortIdSet"] = info.bIsPortIdSet;
    line["data"] = HexBytes(record.data);
}

}  // namespace

std::string CallLine(const CallRecord& record) {
    Line line = Timed(record.milliseconds);
    line["call"] = record.call;
    line["bus"] = record.bus;
    line["status"] = record.status;
    const bool startReport = record.call == CallName(nvapi_id::kCallStartHook);
    const bool returnReport = record.call == CallName(nvapi_id::kCallReturnHook);
    if (startReport || returnReport) line["interface"] = HexInterface(record.reportedInterface);
    if (returnReport) line["reported"] = record.reportedStatus;
    if (record.call == CallName(nvapi_id::kUnloadWithArgument)) line["argument"] = record.argument;
    if (record.call == CallName(nvapi_id::kGpuGetFullName) && record.status == NVAPI_OK) {
        line["name"] = record.name;
    }
    if (record.call == CallName(nvapi_id::kGpuGetThermalSettings)) {
        line["sensorIndex"] = record.sensorIndex;
        if (record.status == NVAPI_OK) line["temperature"] = record.temperature;
    }
    if (record.hasI2c) AddRecord(line, record);
    return Dump(line);
}

std::string BoardLine(int64_t milliseconds, uint32_t bus, int family, const BoardState& state) {
    Line line = Timed(milliseconds);
    line["board"] = bus;
    line["family"] = family;
    line["on"] = state.on;
    line["mode"] = state.mode;
    line["red"] = state.red;
    line["green"] = state.green;
    line["blue"] = state.blue;
    line["cycle"] = state.cycle;
    line["interval"] = state.intervalCode;
    line["brightness"] = state.brightnessCode;
    return Dump(line);
}

std::string IgnoredLine(int64_t milliseconds, uint32_t bus, const std::string& reason,
                        const std::string& detail) {
    Line line = Timed(milliseconds);
    line["board"] = bus;
    line["ignored"] = reason;
    line["detail"] = detail;
    return Dump(line);
}

std::string ConfiguredLine(int64_t milliseconds, size_t gpuCount) {
    Line line = Timed(milliseconds);
    line["event"] = "configured";
    line["gpus"] = gpuCount;
    return Dump(line);
}

std::string ScenarioErrorLine(int64_t milliseconds, const std::string& problem) {
    Line line = Timed(milliseconds);
    line["event"] = "scenario error";
    line["error"] = problem;
    return Dump(line);
}

std::string DecoyQueryLine(NvU32 id) {
    Line line = Timed(0);
    line["decoy"] = true;
    line["call"] = "nvapi_QueryInterface";
    line["interface"] = HexInterface(id);
    return Dump(line);
}

bool LogFile::Open(const std::string& path) {
    Close();
    file_ = OpenUtf8Path(path, "ab");
    return file_ != nullptr;
}

void LogFile::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

void LogFile::Append(const std::string& line) {
    if (file_ == nullptr) return;
    std::fputs(line.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

}  // namespace simdriver
