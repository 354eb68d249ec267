// `lumivar lights-out [RULE]`: stores the one lights-out rule in the settings file and tells a
// running keeper, which acts on it at once; alone, prints the rule.
#pragma once

#include <optional>

#include "cli/commands/cli_host.h"
#include "core/settings/lights_out.h"

// Returns the process exit code.
int RunLightsOut(const std::optional<LightsOutRule>& rule, CliHost& host);
