// What the panel's Apply and `lumivar apply --save` keep and `lumivar restore` applies: for each
// board, keyed by its PCI identifier and bus number, the options that set its controls, as JSON.
// A file these programs did not write in a form they read is refused as a whole, so a later save
// never drops what it holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/apply_options.h"
#include "core/settings/lights_out.h"

// A board as the settings file knows it.
struct BoardKey {
    uint32_t pciId = 0;  // device in the high 16 bits, vendor in the low
    uint32_t bus = 0;

    bool operator==(const BoardKey& other) const {
        return pciId == other.pciId && bus == other.bus;
    }
    bool operator<(const BoardKey& other) const {
        return pciId != other.pciId ? pciId < other.pciId : bus < other.bus;
    }
};

// "220610de"
std::string PciText(uint32_t pciId);

// The highest adapter number (the N of /dev/i2c-N) the programs take.
constexpr int kMaxI2cBus = 1048575;

struct SavedBoard {
    SavedBoard() = default;
    SavedBoard(const BoardKey& key, const ApplyOptions& options,
               std::optional<int> i2cBus = std::nullopt)
        : key(key), options(options), i2cBus(i2cBus) {}

    BoardKey key;
    ApplyOptions options;  // the mode, when given, as the board's own list names it
    // Linux: the adapter chosen with --i2c-bus where the board's controller answered, asked
    // again instead of a search.
    std::optional<int> i2cBus;
};

struct SavedSettings {
    std::vector<SavedBoard> boards;  // in the order they were first saved
    LightsOutRule lightsOut;         // for every board
};

// False with the reason when the text is not a settings file this program reads.
bool ParseSettings(const std::string& text, SavedSettings& settings, std::string& error);
std::string SettingsText(const SavedSettings& settings);

// Replaces the board's entry, or adds one.
void RememberBoard(SavedSettings& settings, const SavedBoard& board);
// Removes the board's entry, if it has one.
void ForgetBoard(SavedSettings& settings, const BoardKey& key);

struct RestorePlan {
    struct Step {
        int slot;
        ApplyOptions options;
    };
    std::vector<Step> steps;       // in slot order
    std::vector<BoardKey> absent;  // saved boards that no slot holds, in the file's order
};

// `slots` holds the key of each slot, in slot order.
RestorePlan PlanRestore(const SavedSettings& settings, const std::vector<BoardKey>& slots);
