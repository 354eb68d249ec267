// The logon command's entry on Windows: the user's Run key value that starts
// "<folder>\lumivarw.exe keep" beside this program at each logon, and the session's keeper.
#pragma once

#include "cli/commands/logon_command.h"

class RunKeyLogonEntry final : public LogonEntry {
  public:
    RunKeyLogonEntry();
    std::string Where() override;
    std::optional<std::string> KeeperMissing() override;
    FileRead Read(std::string& error) override;
    bool Write(std::string& command, std::string& error) override;
    bool Remove(std::string& error) override;
    void StartKeeper() override;
    void EndKeeper() override;

  private:
    std::wstring folder_;
};
