// What the panels keep of the lighting they set, in the settings file lumivar reads: after an
// Apply that reached a supported board, the controls it read, so that `lumivar restore` sends the
// same bytes; after such a Reset, nothing for that board; after anything else, no change. And the
// away item, which adds or removes `away` in the lights-out rule with its hours kept. A file that
// cannot be changed is told once per run, the commands themselves going on.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/gpus/gpu_slots.h"
#include "core/rules/panel_rules.h"
#include "core/settings/settings_store.h"

using SettingsChange = std::function<void(SavedSettings&)>;

// `i2cBus`: on Linux, the adapter the send went through when it was chosen rather than searched
// for (--i2c-bus, or the one kept in the board's entry), kept with the entry.
std::optional<SettingsChange> ChangeAfterApply(const GpuSlot& slot, const ApplyReadings& controls,
                                               bool reachedBoard,
                                               std::optional<int> i2cBus = std::nullopt);
std::optional<SettingsChange> ChangeAfterReset(const GpuSlot& slot, bool reachedBoard);
SettingsChange ToggleAwayChange();

// The message for a change that did not go through, the first time only (`told` remembers);
// nothing once told or when it was done. `inUse`: another program kept the file open (Windows).
std::optional<std::string> SettingsProblemToTell(SettingsOutcome outcome, bool inUse,
                                                 const std::string& file, const std::string& error,
                                                 bool& told);
