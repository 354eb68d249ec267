// What the board commands need from the machine they run on: the driver, the console, the
// settings, the lock that lets one program at a time send to the boards, and the clock.
// lumivar.exe gives the Windows ones, lumivar on Linux its own; tests give theirs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/led/led_commands.h"
#include "core/locks/interprocess_lock.h"
#include "core/nvapi/nvapi_access.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_store.h"

struct Board;

class CliHost {
  public:
    virtual ~CliHost() = default;

    virtual nvapi::NvApiAccess& Driver() = 0;
    // One line of UTF-8 text, without its line end, to stdout or stderr.
    virtual void Print(const std::string& line) = 0;
    virtual void PrintError(const std::string& line) = 0;

    virtual SettingsStore& Settings() = 0;
    // Held around each board's whole command sequence, the pause between two blocks included.
    virtual InterProcessLock& BoardLock() = 0;

    virtual void Sleep(unsigned milliseconds) = 0;
    virtual uint64_t Milliseconds() = 0;  // a steady clock
    // True once a keeper has been told to end: a wait for the driver gives up, and no further
    // board is begun; a board's sequence under way still goes out whole.
    virtual bool Stopping() { return false; }
    // The settings changed, or a board was sent what the user chose: a running keeper reads the
    // settings again and sends what its rules want now.
    virtual void SettingsChanged() {}

    // What differs between the platforms' drivers. `list` may print one more field between the
    // family and the name (where the LED controller answered); none by default.
    virtual std::optional<std::string> ListField(const Board&) { return std::nullopt; }
    // Where a board's transfers go, as a dry run names it; nothing when no adapter carries its
    // controller.
    virtual std::optional<std::string> TransferPort(const Board&) {
        return "port " + std::to_string(led::kLedPort);
    }
    // Linux: the adapter chosen on the command line where the board's controller answered, kept
    // in its saved entry; and the saved ones, asked instead of a search from the next session of
    // the driver on.
    virtual std::optional<int> ChosenAdapter(const Board&) { return std::nullopt; }
    virtual void UseSavedAdapters(const SavedSettings&) {}
    // A failed transfer to a board, in plain words.
    virtual std::string TransferFailure(const Board&, NvAPI_Status status) {
        return "the transfer failed (status " + std::to_string(status) + ")";
    }
    // Whether a family-2000 command is sent when the probe read before it fails.
    virtual led::ProbeFailure OnProbeFailure() { return led::ProbeFailure::kSendAnyway; }
};
