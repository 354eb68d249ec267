// lumivar on Linux: the panel's lighting commands from the command line, over the NVIDIA driver's
// I2C adapters, saved settings, and the lights kept after logon and resume.
#include <optional>
#include <string>
#include <vector>

#include "cli/commands/command_line.h"
#include "cli/commands/doctor_command.h"
#include "cli/commands/logon_command.h"
#include "cli/commands/shared_commands.h"
#include "cli/linux/keeper.h"
#include "cli/linux/linux_doctor.h"
#include "cli/linux/linux_host.h"
#include "cli/linux/logon_autostart.h"

int main(int argc, char** argv) {
    const ParsedCommandLine parsed =
        ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), CommandLineFor::kLinux);
    LinuxHost host(parsed.invocation.i2cBus);
    if (const std::optional<int> code = RunSharedCommand(parsed, CommandLineFor::kLinux, host)) {
        return *code;
    }
    AutostartLogonEntry entry;
    if (parsed.invocation.command == Command::kLogon) {
        return RunLogon(parsed.invocation.logon, entry, host);
    }
    if (parsed.invocation.command == Command::kDoctor) {
        LinuxDoctor doctor;
        return RunDoctor(parsed.invocation.json, doctor, entry, host);
    }
    return RunKeeper(host);
}
