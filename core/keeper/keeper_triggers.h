// What makes the keeper restore the lighting, and which of the system's notifications are such
// triggers. The event codes are Windows' own numbers; the keeper's window checks them against the
// system's headers.
#pragma once

#include <cstdint>
#include <optional>

enum class Trigger {
    kStart,
    kResume,
    kUnlock,
    kLogon,
    kConsoleConnect,
    kRemoteConnect,
    kDisplayAdapter,
    kTrayMenu,
    kSecondKeep,
};

// As the keeper's log names it: "resume", "second keep".
const char* TriggerName(Trigger trigger);

namespace system_event {
// WM_POWERBROADCAST
constexpr uintptr_t kResumeSuspend = 0x7;     // PBT_APMRESUMESUSPEND, after the user's input
constexpr uintptr_t kResumeAutomatic = 0x12;  // PBT_APMRESUMEAUTOMATIC, every resume
// WM_WTSSESSION_CHANGE
constexpr uintptr_t kConsoleConnect = 0x1;  // WTS_CONSOLE_CONNECT
constexpr uintptr_t kRemoteConnect = 0x3;   // WTS_REMOTE_CONNECT
constexpr uintptr_t kSessionLogon = 0x5;    // WTS_SESSION_LOGON
constexpr uintptr_t kSessionUnlock = 0x8;   // WTS_SESSION_UNLOCK
}  // namespace system_event

// A resume from sleep or hibernation; every other power event (suspend, battery) is none.
std::optional<Trigger> PowerTrigger(uintptr_t event);
// Unlock, logon, console or remote connect; locks and disconnects are none.
std::optional<Trigger> SessionTrigger(uintptr_t event);
