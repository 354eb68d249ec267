// The edits are refreshed at most once per 20 ms per source (pointer tracking, slider), and never
// on a source's first event, which only starts its clock.
#pragma once

#include <cstdint>

#include "panel/panel_state.h"

constexpr int64_t kEditRefreshIntervalMs = 20;

// True when the source may refresh now; then `now` becomes its last refresh.
bool TakeRefreshTurn(RefreshTime& last, int64_t now);
