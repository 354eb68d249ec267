// lumivar on Linux: the panel's lighting commands from the command line, over the NVIDIA driver's
// I2C adapters, saved settings, and the lights kept after logon and resume.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/board_commands.h"
#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/linux/keeper.h"
#include "cli/linux/linux_host.h"
#include "cli/linux/logon_autostart.h"

int main(int argc, char** argv) {
    const ParsedCommandLine parsed =
        ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), CommandLineFor::kLinux);
    LinuxHost host(parsed.invocation.i2cBus);
    if (!parsed.ok) {
        host.PrintError("lumivar: " + parsed.error);
        host.PrintError("Run 'lumivar --help' for the commands and options.");
        return kExitBadUsage;
    }
    switch (parsed.invocation.command) {
        case Command::kHelp:
            std::fputs(UsageText(CommandLineFor::kLinux).c_str(), stdout);
            return kExitDone;
        case Command::kVersion:
            std::fputs(VersionText().c_str(), stdout);
            return kExitDone;
        case Command::kLogon:
            return RunAutostartLogon(parsed.invocation.logon, host);
        case Command::kKeep:
            return RunKeeper(host);
        default:
            return RunBoardCommand(parsed.invocation, host);
    }
}
