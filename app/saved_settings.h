// SavedSettings: the settings file as the running program keeps it. What the
// file held when the program started, updated with what the player changes in
// play (the window mode, the volume and mute) and in the menu (the rule, the
// keys, the host joined) and written back at once; the command line's choices
// for this run are not among them.
#pragma once

#include <cstdint>
#include <cstdio>

#include "settings/settings_file.h"

class PlayState;

class SavedSettings {
public:
    SavedSettings() = default;
    SavedSettings(const SavedSettings&) = delete;
    SavedSettings& operator=(const SavedSettings&) = delete;
    virtual ~SavedSettings() = default;

    // Reads the player's settings file (reporting its bad lines on errors);
    // without a file, or with no place for one, the defaults.
    void Read(FILE* errors);

    // Notes what a frame's PlayChange bits say changed in play (the window
    // mode, now windowed or not; the volume and mute, as play holds them) and
    // writes the file when anything did. A file that cannot be written is
    // reported once.
    void Note(uint32_t changes, bool windowed, const PlayState& play);

    const Settings& Values() const { return settings; }
    // The window's new size from a WM_SIZE message (lParam) while in a
    // window of its own, remembered; written by SaveWindowSize (which the
    // loop calls once the size has settled, and at its end), not on every
    // step of a drag.
    void NoteWindowSize(bool windowed, intptr_t lParam);
    void SaveWindowSize();

    // The menu's choices that last: the match rule, the last host joined,
    // the players' keys.
    void NoteRule(const MatchRule& rule);
    void NoteLastJoin(const char* address);
    void NoteKeys(const KeyBindings& keys);

private:
    void Save();

    Settings settings;
    char path[settingsPathSize] = {};
    bool writeReported = false;
    bool sizeChanged = false;
};
