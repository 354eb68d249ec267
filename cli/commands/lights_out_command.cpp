#include "cli/commands/lights_out_command.h"

#include "cli/commands/send_path.h"
#include "cli/commands/exit_codes.h"

int RunLightsOut(const std::optional<LightsOutRule>& rule, CliHost& host) {
    if (!rule) {
        SavedSettings saved;
        bool found = false;
        if (const int code = LoadSaved(host, saved, found)) return code;
        host.Print(LightsOutText(saved.lightsOut));
        return kExitDone;
    }
    std::string error;
    const SettingsOutcome outcome = UpdateSettings(
        host.Settings(), [&rule](SavedSettings& settings) { settings.lightsOut = *rule; }, error);
    if (outcome != SettingsOutcome::kDone) {
        return Fail(
            host, kExitSettingsFile,
            outcome == SettingsOutcome::kUnreadable ? error : "cannot save the rule: " + error);
    }
    host.SettingsChanged();
    host.Print("lights-out: " + LightsOutText(*rule));
    return kExitDone;
}
