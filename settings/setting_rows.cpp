// The table of settings outside the key bindings, the bindings' sections and
// key names, and the slots over both.
#include "settings/setting_rows.h"

#include <strings.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "engine/input/scan_codes.h"

namespace {

bool ParseYesNo(const char* value, bool* result) {
    for (const char* yes : {"yes", "true", "on", "1"}) {
        if (strcasecmp(value, yes) == 0) {
            *result = true;
            return true;
        }
    }
    for (const char* no : {"no", "false", "off", "0"}) {
        if (strcasecmp(value, no) == 0) {
            *result = false;
            return true;
        }
    }
    return false;
}

bool ParsePercent(const char* value, int32_t* result) {
    const size_t length = std::strlen(value);
    if (length == 0 || length > 3) {
        return false;
    }
    int32_t number = 0;
    for (size_t i = 0; i < length; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(value[i]))) {
            return false;
        }
        number = number * 10 + (value[i] - '0');
    }
    if (number > 100) {
        return false;
    }
    *result = number;
    return true;
}

bool ParseMode(const char* value, Settings& settings) {
    if (strcasecmp(value, "windowed") != 0 && strcasecmp(value, "fullscreen") != 0) {
        return false;
    }
    settings.windowed = strcasecmp(value, "windowed") == 0;
    return true;
}

void FormatMode(const Settings& settings, char* text, size_t size) {
    std::snprintf(text, size, "%s", settings.windowed ? "windowed" : "fullscreen");
}

bool ParseVolume(const char* value, Settings& settings) {
    return ParsePercent(value, &settings.volume);
}

void FormatVolume(const Settings& settings, char* text, size_t size) {
    std::snprintf(text, size, "%d", settings.volume);
}

bool ParseMuted(const char* value, Settings& settings) {
    return ParseYesNo(value, &settings.muted);
}

void FormatMuted(const Settings& settings, char* text, size_t size) {
    std::snprintf(text, size, "%s", settings.muted ? "yes" : "no");
}

constexpr SettingRow settingRows[] = {
    {"window", "mode", "mode is 'windowed' or 'fullscreen'", ParseMode, FormatMode},
    {"sound", "volume", "volume is a whole number from 0 to 100", ParseVolume, FormatVolume},
    {"sound", "muted", "muted is 'yes' or 'no'", ParseMuted, FormatMuted},
};
constexpr int32_t rowCount = static_cast<int32_t>(std::size(settingRows));
static_assert(rowCount + playerCount * controlCount <= maxSettingSlots,
              "raise maxSettingSlots for the new settings");

constexpr const char* playerSections[playerCount] = {"first player", "second player"};
constexpr const char* semicolonName = "Semicolon";

}  // namespace

const SettingRow& SettingRowAt(int32_t row) {
    return settingRows[row];
}

int32_t SettingRowCount() {
    return rowCount;
}

const char* PlayerSection(int32_t player) {
    return playerSections[player];
}

int32_t PlayerOfSection(const char* section) {
    for (int32_t player = 0; player < playerCount; ++player) {
        if (strcasecmp(section, playerSections[player]) == 0) {
            return player;
        }
    }
    return -1;
}

const char* KeyNameForFile(uint8_t scanCode) {
    return scanCode == ScanCodeSemicolon ? semicolonName : ScanCodeName(scanCode);
}

uint8_t KeyFromFileName(const char* name) {
    return strcasecmp(name, semicolonName) == 0 ? uint8_t{ScanCodeSemicolon}
                                                : ScanCodeFromName(name);
}

int32_t SettingSlotCount() {
    return rowCount + playerCount * controlCount;
}

const char* SlotSection(int32_t slot) {
    return slot < rowCount ? settingRows[slot].section
                           : playerSections[(slot - rowCount) / controlCount];
}

const char* SlotName(int32_t slot) {
    return slot < rowCount ? settingRows[slot].name
                           : ControlName(boundControls[(slot - rowCount) % controlCount]);
}

int32_t FindSettingSlot(const char* section, const char* name) {
    for (int32_t row = 0; row < rowCount; ++row) {
        if (strcasecmp(section, settingRows[row].section) == 0 &&
            strcasecmp(name, settingRows[row].name) == 0) {
            return row;
        }
    }
    const int32_t player = PlayerOfSection(section);
    const int32_t control = ControlIndexFromName(name);
    return player >= 0 && control >= 0 ? rowCount + player * controlCount + control : -1;
}

int32_t FindSectionSlot(const char* section) {
    for (int32_t slot = 0; slot < SettingSlotCount(); ++slot) {
        if (strcasecmp(section, SlotSection(slot)) == 0) {
            return slot;
        }
    }
    return -1;
}

void FormatSlot(int32_t slot, const Settings& settings, char* text, size_t size) {
    if (slot < rowCount) {
        settingRows[slot].Format(settings, text, size);
        return;
    }
    const int32_t binding = slot - rowCount;
    std::snprintf(
        text, size, "%s",
        KeyNameForFile(settings.keys.keys[binding / controlCount][binding % controlCount]));
}
