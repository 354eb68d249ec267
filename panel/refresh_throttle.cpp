#include "panel/refresh_throttle.h"

bool TakeRefreshTurn(RefreshTime& last, int64_t now) {
    if (!last.set) {
        last.set = true;
        last.milliseconds = now;
        return false;
    }
    // A clock that went backwards (the process clock wrapping) counts as due, so the edits can
    // never stay frozen until it catches up again.
    // Unsigned, so that the difference of two far-apart clock values cannot overflow.
    const uint64_t elapsed = static_cast<uint64_t>(now) - static_cast<uint64_t>(last.milliseconds);
    if (now >= last.milliseconds && elapsed < static_cast<uint64_t>(kEditRefreshIntervalMs)) {
        return false;
    }
    last.milliseconds = now;
    return true;
}
