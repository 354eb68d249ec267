// `lumivar keep` on Windows: one keeper per session. The first runs the keeper's window; a second
// asks it to restore now and ends.
#pragma once

#include "cli/commands/cli_host.h"

// Returns the process exit code: 0 once the keeper is closed or the session ends, and at once
// for a second keeper.
int RunKeeper(CliHost& host);
