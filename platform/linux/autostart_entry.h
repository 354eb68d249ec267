// The XDG autostart entry that starts `lumivar keep` at each desktop logon:
// $XDG_CONFIG_HOME/autostart/lumivar.desktop.
#pragma once

#include <string>

#include "core/settings/settings_store.h"

std::string AutostartEntryPath();
// The entry's text; its command is `lumivar keep`, found on PATH as the package installs it.
std::string AutostartEntryText();

bool WriteAutostartEntry(std::string& error);
// An entry already gone counts as removed.
bool RemoveAutostartEntry(std::string& error);
// kRead when the entry is there.
FileRead ReadAutostartEntry(std::string& error);
