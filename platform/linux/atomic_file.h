// Small files that must never be seen half-written, even across a power cut: the settings and the
// autostart entry.
#pragma once

#include <string>

#include "core/settings/settings_store.h"

// The folder and its parents; false with the reason.
bool MakeFolders(const std::string& folder, std::string& error);

// An absent file (or folder) is kAbsent; kFailed comes with the reason.
FileRead ReadWholeFile(const std::string& path, std::string& text, std::string& error);

// A temporary file beside `path`, written, synced, renamed over it, and the folder synced so that
// the rename itself survives a crash. The old file stays whole until then.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);
