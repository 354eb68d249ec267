// `lumivar logon enable|disable|status`, the same words on every platform, over the platform's
// entry that starts the keeper at each logon (Windows: the Run key; Linux: the XDG autostart
// file). Enable starts a keeper when none runs; disable ends the running one.
#pragma once

#include <optional>
#include <string>

#include "cli/commands/cli_host.h"
#include "cli/commands/command_line.h"
#include "core/settings/settings_store.h"

class LogonEntry {
  public:
    virtual ~LogonEntry() = default;
    // Where the entry lives, for messages.
    virtual std::string Where() = 0;
    // Why no keeper can be registered from here, when it cannot.
    virtual std::optional<std::string> KeeperMissing() { return std::nullopt; }
    // kRead when the entry is there; kFailed with the reason.
    virtual FileRead Read(std::string& error) = 0;
    // `command` is what the entry runs.
    virtual bool Write(std::string& command, std::string& error) = 0;
    // An entry already gone counts as removed.
    virtual bool Remove(std::string& error) = 0;
    // The user's keeper: started when none runs, ended when one does.
    virtual void StartKeeper() = 0;
    virtual void EndKeeper() = 0;
};

// Returns the process exit code.
int RunLogon(LogonAction action, LogonEntry& entry, CliHost& host);
