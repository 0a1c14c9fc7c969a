// The settings file's vocabulary: one row per value outside the key bindings
// (its section, its name, how it is read and written), and the slots that
// number every value the file can hold, rows and bindings alike, for the
// reader and the writer to share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/settings.h"

// A value of the file other than a key binding. Adding a setting is one row
// in setting_rows.cpp (and its field in Settings).
struct SettingRow {
    const char* section;
    const char* name;
    // What a good value is, for the line that refuses a bad one:
    // "mode is 'windowed' or 'fullscreen'" (", not 'sideways'" follows).
    const char* expected;
    // Takes value into settings; false, settings untouched, when it is no good.
    bool (*Parse)(const char* value, Settings& settings);
    // The value as the file holds it, NUL-terminated, into text.
    void (*Format)(const Settings& settings, char* text, size_t size);
};

// A match rule as the file and the command line spell it: "kills N" (1 to
// 99), "minutes N" (1 to 30) or "endless", any case. False, rule untouched,
// for anything else.
bool ReadMatchRule(const char* text, MatchRule* rule);

// The rows, in the order the game writes them.
const SettingRow& SettingRowAt(int32_t row);
int32_t SettingRowCount();

// The sections of the key bindings: "first player", "second player".
const char* PlayerSection(int32_t player);
// The player (0, 1) whose section this is (any case), -1 for none.
int32_t PlayerOfSection(const char* section);

// Keys are named as the engine names them, except the one whose name would
// read as a comment (after a space inih takes ';' for the start of one):
// "Semicolon".
const char* KeyNameForFile(uint8_t scanCode);
// The key of such a name, any case; 0 for none.
uint8_t KeyFromFileName(const char* name);

// Slots: the rows first, then each player's bindings in the order of
// boundControls. A slot is one line of the file.
inline constexpr int32_t maxSettingSlots = 48;
int32_t SettingSlotCount();
const char* SlotSection(int32_t slot);
const char* SlotName(int32_t slot);
// The slot of a name in a section, any case, as the reader matches them; -1
// for a line that is no setting.
int32_t FindSettingSlot(const char* section, const char* name);
// The first slot in this section (any case): the section's number for those
// that keep something per section. -1 for a section holding no setting.
int32_t FindSectionSlot(const char* section);
// The value of a slot in settings as the file writes it, into text; empty
// for a value that is not set (no line is written for it).
inline constexpr size_t settingValueSize = 160;
void FormatSlot(int32_t slot, const Settings& settings, char* text, size_t size);
static_assert(lastJoinSize <= settingValueSize, "the last host joined fits a value");
