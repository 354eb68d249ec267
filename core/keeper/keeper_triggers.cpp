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
        case Trigger::kLock:
            return "lock";
        case Trigger::kDisplayOff:
            return "display off";
        case Trigger::kDisplayOn:
            return "display on";
        case Trigger::kQuietHours:
            return "quiet hours";
        case Trigger::kClockChange:
            return "clock change";
        case Trigger::kTemperature:
            return "temperature";
        case Trigger::kSettings:
            return "settings";
    }
    return "?";
}

bool LightingMayBeLost(Trigger trigger) {
    return trigger < Trigger::kLock;
}
