// Waiting for a program under test: it runs in another process, so a test polls for what it
// expects instead of sleeping a fixed time.
#pragma once

#include <windows.h>

namespace e2e {

// Polls `condition` every 20 ms until it holds or the timeout passes.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 10000) {
    for (const ULONGLONG end = GetTickCount64() + timeoutMs;; Sleep(20)) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
    }
}

}  // namespace e2e
