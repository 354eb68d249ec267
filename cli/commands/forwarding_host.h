// A host that hands every call to another one: a command that needs the machine as it is but for
// a few calls (its lines kept, its waits its own) overrides those and keeps the rest whole, so a
// call added to the host reaches the machine without each wrapper learning it.
#pragma once

#include "cli/commands/cli_host.h"

class ForwardingHost : public CliHost {
  public:
    explicit ForwardingHost(CliHost& host) : host_(host) {}

    nvapi::NvApiAccess& Driver() override { return host_.Driver(); }
    void Print(const std::string& line) override { host_.Print(line); }
    void PrintError(const std::string& line) override { host_.PrintError(line); }
    SettingsStore& Settings() override { return host_.Settings(); }
    InterProcessLock& BoardLock() override { return host_.BoardLock(); }
    void Sleep(unsigned milliseconds) override { host_.Sleep(milliseconds); }
    uint64_t Milliseconds() override { return host_.Milliseconds(); }
    bool Stopping() override { return host_.Stopping(); }
    void SettingsChanged() override { host_.SettingsChanged(); }
    std::optional<std::string> ListField(const Board& board) override {
        return host_.ListField(board);
    }
    std::optional<std::string> TransferPort(const Board& board) override {
        return host_.TransferPort(board);
    }
    std::optional<int> ChosenAdapter(const Board& board) override {
        return host_.ChosenAdapter(board);
    }
    void UseSavedAdapters(const SavedSettings& saved) override { host_.UseSavedAdapters(saved); }
    std::string TransferFailure(const Board& board, NvAPI_Status status) override {
        return host_.TransferFailure(board, status);
    }
    led::ProbeFailure OnProbeFailure() override { return host_.OnProbeFailure(); }

  private:
    CliHost& host_;
};
