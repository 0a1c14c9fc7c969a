// SavedSettings: read once, written back on every change the player makes.
#include "app/saved_settings.h"

#include "app/play_state.h"
#include "app/window_mode.h"

void SavedSettings::Read(FILE* errors) {
    if (SettingsFilePath(path, sizeof path)) {
        ReadSettingsFile(path, settings, errors);
    }
}

void SavedSettings::Note(uint32_t changes, bool windowed, const PlayState& play) {
    if ((changes & PlayChangeWindowMode) != 0) {
        settings.windowed = windowed;
    }
    if ((changes & PlayChangeSound) != 0) {
        settings.volume = play.volume;
        settings.muted = play.muted;
    }
    if ((changes & (PlayChangeWindowMode | PlayChangeSound)) != 0) {
        Save();
    }
}

void SavedSettings::NoteWindowSize(bool windowed, intptr_t lParam) {
    if (NoteOwnWindowSize(windowed, lParam, &settings.windowWidth, &settings.windowHeight)) {
        sizeChanged = true;
    }
}

void SavedSettings::SaveWindowSize() {
    if (sizeChanged) {
        sizeChanged = false;
        Save();
    }
}

void SavedSettings::NoteRule(const MatchRule& rule) {
    settings.rule = rule.Checked();
    Save();
}

void SavedSettings::NoteLastJoin(const char* address) {
    std::snprintf(settings.lastJoin, sizeof settings.lastJoin, "%s", address);
    Save();
}

void SavedSettings::NoteKeys(const KeyBindings& keys) {
    settings.keys = keys;
    Save();
}

void SavedSettings::Save() {
    if (path[0] == '\0' || WriteSettingsFile(path, settings)) {
        return;
    }
    if (!writeReported) {
        writeReported = true;
        std::fprintf(stderr, "kivoro: cannot save the settings to %s\n", path);
    }
}
