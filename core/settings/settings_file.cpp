#include "core/settings/settings_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

using Json = nlohmann::ordered_json;

bool ParsePci(const Json& value, uint32_t& pciId) {
    if (!value.is_string()) return false;
    const std::string text = value.get<std::string>();
    if (text.size() != 8) return false;
    pciId = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return false;
        pciId = pciId * 16 + static_cast<uint32_t>(digit);
    }
    return true;
}

// Each option by the same rule as on the command line. The temperature's colours and range come
// in either order: the range is kept aside until both are read.
bool ParseOption(const std::string& name, const Json& value, ApplyOptions& options,
                 std::optional<std::string>& range, std::string& error) {
    const auto text = [&value]() { return value.get<std::string>(); };
    const auto number = [&value]() { return std::to_string(value.get<uint64_t>()); };
    int position = 0;
    if (name == "off" || name == "cycle") {
        if (!value.is_boolean()) return false;
        (name == "off" ? options.off : options.cycle) = value.get<bool>();
    } else if (name == "mode") {
        if (!value.is_string() || text().empty()) return false;
        options.mode = text();
    } else if (name == "color") {
        Rgb colour;
        if (!value.is_string() || !ParseColour(text(), colour, error)) return false;
        options.colour = colour;
    } else if (name == "shade") {
        if (!value.is_number_unsigned() || !ParseShade(number(), position, error)) return false;
        options.shade = position;
    } else if (name == "interval") {
        if (!value.is_string() || !ParseInterval(text(), position, error)) return false;
        options.intervalPosition = position;
    } else if (name == "brightness") {
        if (!value.is_number_unsigned() || !ParseBrightness(number(), position, error)) {
            return false;
        }
        options.brightnessPosition = position;
    } else if (name == "color-by-temperature") {
        TemperatureColours colours;
        if (!value.is_string() || !ParseTemperatureColours(text(), colours, error)) return false;
        options.byTemperature = colours;
    } else if (name == "temperature-range") {
        if (!value.is_string()) return false;
        range = text();
    } else {
        return false;
    }
    return true;
}

// A colour of its own beside one that follows the temperature, or cycling colours, or a range
// with no colours to spread over it, are nothing lumivar writes.
bool TemperatureOptions(ApplyOptions& options, const std::optional<std::string>& range,
                        std::string& error) {
    if (!options.byTemperature) {
        if (range) error = "it has a temperature range but no colours by temperature";
        return !range;
    }
    if (options.colour || options.cycle) {
        error = "it has colours by temperature beside a colour or cycling";
        return false;
    }
    return !range || ParseTemperatureRange(*range, *options.byTemperature, error);
}

bool ParseBoard(const Json& entry, SavedBoard& board, std::string& error) {
    if (!entry.is_object()) return false;
    for (const auto& item : entry.items()) {
        const std::string& key = item.key();
        if (key != "pci" && key != "bus" && key != "i2c-bus" && key != "options") return false;
    }
    if (!entry.contains("pci") || !ParsePci(entry["pci"], board.key.pciId)) {
        error = "pci is not eight hex digits";
        return false;
    }
    if (!entry.contains("bus") || !entry["bus"].is_number_unsigned() ||
        entry["bus"].get<uint64_t>() > UINT32_MAX) {
        error = "bus is not a bus number";
        return false;
    }
    board.key.bus = entry["bus"].get<uint32_t>();
    if (entry.contains("i2c-bus")) {
        const Json& adapter = entry["i2c-bus"];
        if (!adapter.is_number_unsigned() || adapter.get<uint64_t>() > kMaxI2cBus) {
            error = "i2c-bus is not the N of a /dev/i2c-N";
            return false;
        }
        board.i2cBus = adapter.get<int>();
    }
    if (!entry.contains("options") || !entry["options"].is_object()) {
        error = "it has no options";
        return false;
    }
    std::optional<std::string> range;
    for (const auto& option : entry["options"].items()) {
        if (!ParseOption(option.key(), option.value(), board.options, range, error)) {
            if (error.empty()) error = "its option '" + option.key() + "' is not one lumivar reads";
            return false;
        }
    }
    return TemperatureOptions(board.options, range, error);
}

Json OptionsJson(const ApplyOptions& options) {
    Json json = Json::object();
    if (options.mode) json["mode"] = *options.mode;
    if (options.colour) json["color"] = ColourText(*options.colour);
    if (options.shade) json["shade"] = *options.shade;
    if (options.intervalPosition) json["interval"] = IntervalText(*options.intervalPosition);
    if (options.brightnessPosition) {
        json["brightness"] = std::stoi(BrightnessText(*options.brightnessPosition));
    }
    if (options.off) json["off"] = true;
    if (options.cycle) json["cycle"] = true;
    if (options.byTemperature) {
        json["color-by-temperature"] = TemperatureColoursText(*options.byTemperature);
        json["temperature-range"] = TemperatureRangeText(*options.byTemperature);
    }
    return json;
}

}  // namespace

bool ParseSettings(const std::string& text, SavedSettings& settings, std::string& error) {
    settings = SavedSettings();
    Json json;
    try {
        json = Json::parse(text);
    } catch (const Json::parse_error& problem) {
        error = "it is not valid JSON (byte " + std::to_string(problem.byte) + ")";
        return false;
    } catch (const Json::exception&) {  // a number too large for any type, among others
        error = "it holds a number out of range";
        return false;
    }
    if (!json.is_object() || !json.contains("boards") || !json["boards"].is_array() ||
        json.size() != (json.contains("lights-out") ? 2u : 1u)) {
        error = "it does not hold a list of boards";
        return false;
    }
    if (json.contains("lights-out")) {
        std::string problem;
        if (!json["lights-out"].is_string() ||
            !ParseLightsOutRule({json["lights-out"].get<std::string>()}, settings.lightsOut,
                                problem)) {
            error = "its lights-out rule is not one lumivar reads";
            settings = SavedSettings();
            return false;
        }
    }
    for (const Json& entry : json["boards"]) {
        SavedBoard board;
        std::string problem;
        if (!ParseBoard(entry, board, problem)) {
            error = "board " + std::to_string(settings.boards.size() + 1) + ": " +
                    (problem.empty() ? "unknown fields" : problem);
            settings = SavedSettings();
            return false;
        }
        settings.boards.push_back(board);
    }
    return true;
}

std::string SettingsText(const SavedSettings& settings) {
    Json boards = Json::array();
    for (const SavedBoard& board : settings.boards) {
        Json entry = {{"pci", PciText(board.key.pciId)}, {"bus", board.key.bus}};
        if (board.i2cBus) entry["i2c-bus"] = *board.i2cBus;
        entry["options"] = OptionsJson(board.options);
        boards.push_back(entry);
    }
    Json json = {{"boards", boards}};
    // A file with no rule stays as it was before there were rules.
    if (settings.lightsOut != LightsOutRule())
        json["lights-out"] = LightsOutText(settings.lightsOut);
    return json.dump(2) + "\n";
}

std::string PciText(uint32_t pciId) {
    char text[12];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(pciId));
    return text;
}

void ForgetBoard(SavedSettings& settings, const BoardKey& key) {
    std::vector<SavedBoard>& boards = settings.boards;
    boards.erase(std::remove_if(boards.begin(), boards.end(),
                                [&key](const SavedBoard& saved) { return saved.key == key; }),
                 boards.end());
}

void RememberBoard(SavedSettings& settings, const SavedBoard& board) {
    for (SavedBoard& saved : settings.boards) {
        if (saved.key == board.key) {
            saved = board;
            return;
        }
    }
    settings.boards.push_back(board);
}

RestorePlan PlanRestore(const SavedSettings& settings, const std::vector<BoardKey>& slots) {
    RestorePlan plan;
    for (size_t slot = 0; slot < slots.size(); ++slot) {
        for (const SavedBoard& saved : settings.boards) {
            if (saved.key == slots[slot]) {
                plan.steps.push_back({static_cast<int>(slot), saved.options});
                break;
            }
        }
    }
    for (const SavedBoard& saved : settings.boards) {
        bool present = false;
        for (const BoardKey& key : slots) present = present || key == saved.key;
        if (!present) plan.absent.push_back(saved.key);
    }
    return plan;
}
