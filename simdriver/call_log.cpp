#include "simdriver/call_log.h"

#include <algorithm>
#include <cinttypes>

#ifdef _WIN32
#include <windows.h>
#endif

namespace simdriver {

namespace {

// Builds one flat object field by field.
class JsonLine {
  public:
    explicit JsonLine(int64_t milliseconds) { Number("t", milliseconds); }
    JsonLine& Number(const char* key, int64_t value) {
        Key(key);
        text_ += std::to_string(value);
        return *this;
    }
    JsonLine& Bool(const char* key, bool value) {
        Key(key);
        text_ += value ? "true" : "false";
        return *this;
    }
    JsonLine& Text(const char* key, const std::string& value) {
        Key(key);
        text_ += JsonString(value);
        return *this;
    }
    std::string Done() const { return text_ + "}"; }

  private:
    void Key(const char* key) {
        text_ += text_.empty() ? "{" : ",";
        text_ += JsonString(key);
        text_ += ":";
    }
    std::string text_;
};

std::string HexInterface(NvU32 id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08" PRIx32, id);
    return text;
}

}  // namespace

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

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string CallLine(const CallRecord& record) {
    JsonLine line(record.milliseconds);
    line.Text("call", record.call).Number("bus", record.bus).Number("status", record.status);
    if (record.call == CallName(nvapi_id::kCallStartHook) ||
        record.call == CallName(nvapi_id::kCallReturnHook)) {
        line.Text("interface", HexInterface(record.reportedInterface));
        if (record.call == CallName(nvapi_id::kCallReturnHook)) {
            line.Number("reported", record.reportedStatus);
        }
    }
    if (record.call == CallName(nvapi_id::kUnloadWithArgument)) {
        line.Number("argument", record.argument);
    }
    if (record.hasI2c) {
        const NV_I2C_INFO_V3& info = record.info;
        line.Number("version", info.version)
            .Number("displayMask", info.displayMask)
            .Number("bIsDDCPort", info.bIsDDCPort)
            .Number("i2cDevAddress", info.i2cDevAddress)
            .Text("pbI2cRegAddress", record.regAddressNull ? "null" : "set")
            .Number("regAddrSize", info.regAddrSize)
            .Text("pbData", record.dataNull ? "null" : "set")
            .Number("cbSize", info.cbSize)
            .Number("i2cSpeed", info.i2cSpeed)
            .Number("i2cSpeedKhz", info.i2cSpeedKhz)
            .Number("portId", info.portId)
            .Number("bIsPortIdSet", info.bIsPortIdSet)
            .Text("data", HexBytes(record.data));
    }
    return line.Done();
}

std::string BoardLine(int64_t milliseconds, uint32_t bus, int family, const BoardState& state) {
    return JsonLine(milliseconds)
        .Number("board", bus)
        .Number("family", family)
        .Bool("on", state.on)
        .Text("mode", state.mode)
        .Number("red", state.red)
        .Number("green", state.green)
        .Number("blue", state.blue)
        .Bool("cycle", state.cycle)
        .Number("interval", state.intervalCode)
        .Number("brightness", state.brightnessCode)
        .Done();
}

std::string IgnoredLine(int64_t milliseconds, uint32_t bus, const std::string& reason,
                        const std::string& detail) {
    return JsonLine(milliseconds)
        .Number("board", bus)
        .Text("ignored", reason)
        .Text("detail", detail)
        .Done();
}

std::string ConfiguredLine(int64_t milliseconds, size_t gpuCount) {
    return JsonLine(milliseconds)
        .Text("event", "configured")
        .Number("gpus", static_cast<int64_t>(gpuCount))
        .Done();
}

std::string ScenarioErrorLine(int64_t milliseconds, const std::string& problem) {
    return JsonLine(milliseconds).Text("event", "scenario error").Text("error", problem).Done();
}

std::FILE* OpenUtf8Path(const std::string& path, const char* mode) {
#ifdef _WIN32
    // This module only ever runs under Wine, whose drive Z: is the Unix root: a test script may
    // name its files by their Unix paths.
    std::string windowsPath = path;
    if (windowsPath.size() > 1 && windowsPath[0] == '/' && windowsPath[1] != '/') {
        windowsPath = "Z:" + windowsPath;
        std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    }
    const int pathLength =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, windowsPath.c_str(), -1, nullptr, 0);
    if (pathLength <= 0) return nullptr;
    std::wstring widePath(static_cast<size_t>(pathLength), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, windowsPath.c_str(), -1, &widePath[0],
                        pathLength);
    std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(widePath.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
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
