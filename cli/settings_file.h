// What `apply --save` keeps and `restore` applies: for each board, keyed by its PCI identifier and
// bus number, the options that were given for it, as JSON. A file this program did not write in
// a form it reads is refused as a whole, so a later save never drops what it holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/apply_options.h"
#include "cli/boards.h"

struct SavedBoard {
    BoardKey key;
    ApplyOptions options;  // the mode, when given, as the board's own list names it
};

struct SavedSettings {
    std::vector<SavedBoard> boards;  // in the order they were first saved
};

// False with the reason when the text is not a settings file this program reads.
bool ParseSettings(const std::string& text, SavedSettings& settings, std::string& error);
std::string SettingsText(const SavedSettings& settings);

// Replaces the board's entry, or adds one.
void RememberBoard(SavedSettings& settings, const SavedBoard& board);

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
