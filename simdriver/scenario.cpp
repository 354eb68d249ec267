// The scenario text: one directive per line, a directive word followed by its values.
#include "simdriver/scenario.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <set>
#include <sstream>

#include "simdriver/utf8_path.h"

namespace simdriver {

namespace {

// Handles are built from a GPU's position; this keeps them distinct (see the driver).
constexpr size_t kMaxScenarioGpus = 1024;

struct LineError {
    std::string message;
};

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Splits at blanks outside double quotes. Inside quotes \" \\ and \xHH stand for one byte.
std::vector<std::string> Tokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::string current;
    bool inToken = false;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\') {
                if (i + 1 >= text.size()) throw LineError{"unfinished escape"};
                const char next = text[++i];
                if (next == '"' || next == '\\') {
                    current += next;
                } else if (next == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
                           HexDigit(text[i + 2]) >= 0) {
                    current +=
                        static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
                    i += 2;
                } else {
                    throw LineError{std::string("unknown escape \\") + next};
                }
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t') {
            if (inToken) tokens.push_back(current);
            current.clear();
            inToken = false;
        } else {
            inToken = true;
            if (c == '"') {
                quoted = true;
            } else {
                current += c;
            }
        }
    }
    if (quoted) throw LineError{"unterminated quote"};
    if (inToken) tokens.push_back(current);
    return tokens;
}

int64_t Integer(const std::string& text, int base, int64_t low, int64_t high, const char* what) {
    std::string digits = text;
    if (base == 16 && digits.size() > 2 && digits[0] == '0' &&
        (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
    }
    const bool signAllowed = base == 10;
    const bool hasDigits =
        !digits.empty() &&
        (HexDigit(digits[0]) >= 0 || (signAllowed && digits[0] == '-' && digits.size() > 1));
    errno = 0;
    char* end = nullptr;
    const long long value = hasDigits ? std::strtoll(digits.c_str(), &end, base) : 0;
    if (!hasDigits || errno != 0 || *end != '\0' || value < low || value > high) {
        throw LineError{std::string("bad ") + what + " '" + text + "'"};
    }
    return value;
}

NvAPI_Status Status(const std::string& text) {
    return static_cast<NvAPI_Status>(Integer(text, 10, std::numeric_limits<int32_t>::min(),
                                             std::numeric_limits<int32_t>::max(), "status"));
}

uint32_t Count(const std::string& text) {
    return static_cast<uint32_t>(
        Integer(text, 10, 0, std::numeric_limits<uint32_t>::max(), "number"));
}

int Celsius(const std::string& text) {
    return static_cast<int>(Integer(text, 10, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max(), "temperature"));
}

uint32_t Hex32(const std::string& text, const char* what) {
    return static_cast<uint32_t>(Integer(text, 16, 0, std::numeric_limits<uint32_t>::max(), what));
}

void ExpectValues(const std::vector<std::string>& tokens, size_t least, size_t most) {
    const size_t values = tokens.size() - 1;
    if (values < least || values > most) {
        throw LineError{"'" + tokens[0] + "' takes " +
                        (least == most ? std::to_string(least)
                                       : std::to_string(least) + " to " + std::to_string(most)) +
                        " value(s)"};
    }
}

// gpu bus=N pci=HEX name="..." [tcc] [bus-status=S] [name-status=S] [pci-status=S]
//     [temperature=C]
SimGpu GpuLine(const std::vector<std::string>& tokens) {
    SimGpu gpu;
    std::set<std::string> seen;
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        const size_t equals = token.find('=');
        const std::string key = token.substr(0, equals);
        if (!seen.insert(key).second) throw LineError{"'" + key + "' given twice"};
        if (equals == std::string::npos) {
            if (key != "tcc") throw LineError{"unknown gpu setting '" + key + "'"};
            gpu.tcc = true;
            continue;
        }
        const std::string value = token.substr(equals + 1);
        if (key == "bus") {
            gpu.bus = Count(value);
        } else if (key == "pci") {
            gpu.pciId = Hex32(value, "pci id");
        } else if (key == "name") {
            gpu.name = value;
        } else if (key == "bus-status") {
            gpu.busIdStatus = Status(value);
        } else if (key == "name-status") {
            gpu.nameStatus = Status(value);
        } else if (key == "pci-status") {
            gpu.pciStatus = Status(value);
        } else if (key == "temperature") {
            gpu.temperature = Celsius(value);
        } else {
            throw LineError{"unknown gpu setting '" + key + "'"};
        }
    }
    for (const char* required : {"bus", "pci", "name"}) {
        if (seen.count(required) == 0) throw LineError{std::string("gpu needs ") + required + "="};
    }
    return gpu;
}

void AddGpu(Scenario& scenario, const SimGpu& gpu) {
    if (scenario.gpus.size() >= kMaxScenarioGpus) {
        throw LineError{"more than " + std::to_string(kMaxScenarioGpus) + " GPUs"};
    }
    scenario.gpus.push_back(gpu);
}

// A path is the rest of the line after its directive word, so Windows paths need no escapes.
std::string PathValue(const std::string& line, const std::string& word) {
    std::string path = Trim(Trim(line).substr(word.size()));
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
    }
    if (path.empty()) throw LineError{"'" + word + "' needs a path"};
    return path;
}

void Directive(const std::string& line, Scenario& scenario) {
    // Paths are taken as written: they are not split into values.
    const std::string first = line.substr(0, line.find_first_of(" \t"));
    if (first == "log") {
        scenario.logPath = PathValue(line, first);
        return;
    }
    if (first == "temperatures") {
        scenario.temperaturesPath = PathValue(line, first);
        return;
    }
    const std::vector<std::string> tokens = Tokens(line);
    const std::string& word = tokens[0];
    if (word == "gpu") {
        AddGpu(scenario, GpuLine(tokens));
    } else if (word == "default-gpus") {
        ExpectValues(tokens, 0, 0);
        for (const SimGpu& gpu : DefaultScenario().gpus) AddGpu(scenario, gpu);
    } else if (word == "initialize-status") {
        ExpectValues(tokens, 1, 1);
        scenario.initializeStatus = Status(tokens[1]);
    } else if (word == "not-ready-for") {
        ExpectValues(tokens, 1, 2);
        scenario.notReadyForMilliseconds = Count(tokens[1]);
        if (tokens.size() > 2) scenario.notReadyStatus = Status(tokens[2]);
    } else if (word == "enum-status") {
        ExpectValues(tokens, 1, 1);
        scenario.enumStatus = Status(tokens[1]);
    } else if (word == "tcc-enum-status") {
        ExpectValues(tokens, 1, 1);
        scenario.tccEnumStatus = Status(tokens[1]);
    } else if (word == "enum-reported-count") {
        ExpectValues(tokens, 1, 1);
        scenario.enumReportedCount = Count(tokens[1]);
    } else if (word == "tcc-enum-reported-count") {
        ExpectValues(tokens, 1, 1);
        scenario.tccEnumReportedCount = Count(tokens[1]);
    } else if (word == "i2c-write-fail" || word == "i2c-read-fail") {
        ExpectValues(tokens, 1, 2);
        const uint32_t call = Count(tokens[1]);
        if (call == 0 || call > static_cast<uint32_t>(std::numeric_limits<int>::max())) {
            throw LineError{"the failing call is counted from 1"};
        }
        const NvAPI_Status status = tokens.size() > 2 ? Status(tokens[2]) : NVAPI_ERROR;
        if (word == "i2c-write-fail") {
            scenario.i2cWriteFailAt = static_cast<int>(call);
            scenario.i2cWriteFailStatus = status;
        } else {
            scenario.i2cReadFailAt = static_cast<int>(call);
            scenario.i2cReadFailStatus = status;
        }
    } else if (word == "missing-interface") {
        ExpectValues(tokens, 1, 1);
        scenario.missingInterfaces.push_back(Hex32(tokens[1], "interface id"));
    } else if (word == "missing-hooks") {
        ExpectValues(tokens, 0, 0);
        scenario.missingHooks = true;
    } else if (word == "missing-call-return-hook") {
        ExpectValues(tokens, 0, 0);
        scenario.missingCallReturnHook = true;
    } else if (word == "unload-status") {
        ExpectValues(tokens, 1, 1);
        scenario.unloadStatus = Status(tokens[1]);
    } else if (word == "thermal-status") {
        ExpectValues(tokens, 1, 1);
        scenario.thermalStatus = Status(tokens[1]);
    } else {
        throw LineError{"unknown directive '" + word + "'"};
    }
}

}  // namespace

Scenario DefaultScenario() {
    Scenario scenario;
    SimGpu rtx3080;
    rtx3080.bus = 1;
    rtx3080.name = "NVIDIA GeForce RTX 3080";
    rtx3080.pciId = 0x220610DE;
    SimGpu rtx2080Super;
    rtx2080Super.bus = 2;
    rtx2080Super.name = "NVIDIA GeForce RTX 2080 SUPER";
    rtx2080Super.pciId = 0x1E8110DE;
    scenario.gpus = {rtx3080, rtx2080Super};
    return scenario;
}

bool ParseScenario(const std::string& text, Scenario& scenario, std::string& error) {
    scenario = Scenario();
    error.clear();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        // A byte-order mark from a Windows editor is not part of the first directive.
        if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line = line.substr(3);
        const std::string content = Trim(line);
        if (content.empty() || content[0] == '#') continue;
        try {
            Directive(content, scenario);
        } catch (const LineError& problem) {
            error = "line " + std::to_string(number) + ": " + problem.message;
            return false;
        }
    }
    return true;
}

FileTemperature TemperatureInFile(const std::string& text, uint32_t bus) {
    FileTemperature found;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string busText, value, extra;
        if (!(words >> busText >> value) || (words >> extra)) continue;
        try {
            if (Count(busText) != bus) continue;
            found.celsius = value == "-" ? std::nullopt : std::optional<int>(Celsius(value));
            found.named = true;
        } catch (const LineError&) {
            // A line of another form says nothing.
        }
    }
    return found;
}

bool ReadScenarioFile(const std::string& path, Scenario& scenario, std::string& error) {
    std::string text;
    const FileRead read = ReadUtf8PathFile(path, text);
    if (read != FileRead::kDone) {
        scenario = Scenario();
        error = (read == FileRead::kCannotOpen ? "cannot open scenario file "
                                               : "cannot read scenario file ") +
                path;
        return false;
    }
    if (!ParseScenario(text, scenario, error)) {
        error = path + ", " + error;
        return false;
    }
    return true;
}

}  // namespace simdriver
