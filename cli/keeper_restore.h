// The keeper's restore: `lumivar restore --wait 60` on this process's driver, settings and board
// lock, with what it says kept for the keeper's log.
#pragma once

#include "cli/keeper/keeper.h"

RestoreOutcome RestoreForKeeper(RestoreWaits& waits);
