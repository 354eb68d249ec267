#include "core/keeper/keeper_triggers.h"

const char* TriggerName(Trigger trigger) {
    switch (trigger) {
        case Trigger::kStart:
            return "start";
        case Trigger::kResume:
            return "resume";
        case Trigger::kUnlock:
            return "unlock";
        case Trigger::kLogon:
            return "logon";
        case Trigger::kConsoleConnect:
            return "console connect";
        case Trigger::kRemoteConnect:
            return "remote connect";
        case Trigger::kDisplayAdapter:
            return "display adapter";
        case Trigger::kTrayMenu:
            return "tray menu";
        case Trigger::kSecondKeep:
            return "second keep";
    }
    return "?";
}

std::optional<Trigger> PowerTrigger(uintptr_t event) {
    if (event == system_event::kResumeAutomatic || event == system_event::kResumeSuspend) {
        return Trigger::kResume;
    }
    return std::nullopt;
}

std::optional<Trigger> SessionTrigger(uintptr_t event) {
    switch (event) {
        case system_event::kSessionUnlock:
            return Trigger::kUnlock;
        case system_event::kSessionLogon:
            return Trigger::kLogon;
        case system_event::kConsoleConnect:
            return Trigger::kConsoleConnect;
        case system_event::kRemoteConnect:
            return Trigger::kRemoteConnect;
    }
    return std::nullopt;
}
