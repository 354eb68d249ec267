// The logon command's entry on Linux: the XDG autostart file that starts `lumivar keep` at each
// desktop logon, and the user's keeper.
#pragma once

#include "cli/commands/logon_command.h"

class AutostartLogonEntry final : public LogonEntry {
  public:
    std::string Where() override;
    FileRead Read(std::string& error) override;
    bool Write(std::string& command, std::string& error) override;
    bool Remove(std::string& error) override;
    void StartKeeper() override;
    void EndKeeper() override;
};
