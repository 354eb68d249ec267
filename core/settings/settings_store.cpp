#include "core/settings/settings_store.h"

SettingsOutcome LoadSettings(SettingsStore& store, SavedSettings& settings, std::string& error) {
    settings = SavedSettings();
    std::string text;
    switch (store.Read(text, error)) {
        case FileRead::kAbsent:
            return SettingsOutcome::kNothingSaved;
        case FileRead::kFailed:
            error = "cannot read the settings file: " + error;
            return SettingsOutcome::kUnreadable;
        case FileRead::kRead:
            break;
    }
    std::string problem;
    if (!ParseSettings(text, settings, problem)) {
        error = "the settings file " + store.FileName() + " cannot be read (" + problem +
                "); it is left as it is";
        return SettingsOutcome::kUnreadable;
    }
    return SettingsOutcome::kDone;
}

SettingsOutcome UpdateSettings(SettingsStore& store,
                               const std::function<void(SavedSettings&)>& change,
                               std::string& error) {
    const HeldLock lock(store.UpdateLock());
    if (!lock.Held()) {
        error = lock.Error();
        return SettingsOutcome::kLocked;
    }
    SavedSettings settings;
    const SettingsOutcome loaded = LoadSettings(store, settings, error);
    if (loaded == SettingsOutcome::kUnreadable) return loaded;
    change(settings);
    // Nothing saved before and nothing to save now: a removal makes no file.
    if (loaded == SettingsOutcome::kNothingSaved &&
        SettingsText(settings) == SettingsText(SavedSettings())) {
        return SettingsOutcome::kDone;
    }
    if (!store.Write(SettingsText(settings), error)) return SettingsOutcome::kWriteFailed;
    return SettingsOutcome::kDone;
}
