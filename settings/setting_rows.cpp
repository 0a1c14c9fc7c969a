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

// "WIDTHxHEIGHT" (an x or X between), each side a whole number from
// minWindowSide to maxWindowSide.
bool ParseWindowSize(const char* value, Settings& settings) {
    int32_t sides[2] = {0, 0};
    int32_t side = 0;
    size_t digits = 0;
    for (const char* c = value;; ++c) {
        if (std::isdigit(static_cast<unsigned char>(*c))) {
            if (++digits > 5) {
                return false;
            }
            sides[side] = sides[side] * 10 + (*c - '0');
            continue;
        }
        if (digits == 0 || (*c != '\0' && (side == 1 || (*c != 'x' && *c != 'X')))) {
            return false;
        }
        if (*c == '\0') {
            break;
        }
        side = 1;
        digits = 0;
    }
    if (side != 1) {
        return false;
    }
    for (const int32_t length : sides) {
        if (length < minWindowSide || length > maxWindowSide) {
            return false;
        }
    }
    settings.windowWidth = sides[0];
    settings.windowHeight = sides[1];
    return true;
}

// No size (0 x 0) is no line: the writer adds one once the player has sized
// the window.
void FormatWindowSize(const Settings& settings, char* text, size_t size) {
    if (settings.windowWidth > 0 && settings.windowHeight > 0) {
        std::snprintf(text, size, "%dx%d", settings.windowWidth, settings.windowHeight);
    } else if (size > 0) {
        text[0] = '\0';
    }
}

// A whole number of one to three digits from low to high.
bool ParseSmall(const char* value, int32_t low, int32_t high, int32_t* result) {
    int32_t number = 0;
    size_t digits = 0;
    for (const char* c = value; *c != '\0'; ++c) {
        if (!std::isdigit(static_cast<unsigned char>(*c)) || ++digits > 3) {
            return false;
        }
        number = number * 10 + (*c - '0');
    }
    if (digits == 0 || number < low || number > high) {
        return false;
    }
    *result = number;
    return true;
}

bool ParseRule(const char* value, Settings& settings) {
    return ReadMatchRule(value, &settings.rule);
}

void FormatRule(const Settings& settings, char* text, size_t size) {
    const MatchRule rule = settings.rule.Checked();
    if (rule.kind == MatchFirstToKills) {
        std::snprintf(text, size, "kills %d", rule.value);
    } else if (rule.kind == MatchTimeLimit) {
        std::snprintf(text, size, "minutes %d", rule.value);
    } else {
        std::snprintf(text, size, "endless");
    }
}

// A host's name or address with an optional port: printable, no spaces.
bool ParseLastJoin(const char* value, Settings& settings) {
    const size_t length = std::strlen(value);
    if (length == 0 || length >= sizeof settings.lastJoin) {
        return false;
    }
    for (const char* c = value; *c != '\0'; ++c) {
        if (*c <= ' ' || *c > '~') {
            return false;
        }
    }
    std::memcpy(settings.lastJoin, value, length + 1);
    return true;
}

void FormatLastJoin(const Settings& settings, char* text, size_t size) {
    std::snprintf(text, size, "%s", settings.lastJoin);
}

constexpr SettingRow settingRows[] = {
    {"window", "mode", "mode is 'windowed' or 'fullscreen'", ParseMode, FormatMode},
    {"window", "size", "size is WIDTHxHEIGHT in pixels, each from 100 to 16384", ParseWindowSize,
     FormatWindowSize},
    {"sound", "volume", "volume is a whole number from 0 to 100", ParseVolume, FormatVolume},
    {"sound", "muted", "muted is 'yes' or 'no'", ParseMuted, FormatMuted},
    {"match", "rule", "rule is 'kills N' (1 to 99), 'minutes N' (1 to 30) or 'endless'", ParseRule,
     FormatRule},
    {"online", "last join", "last join is a HOST or HOST:PORT without spaces", ParseLastJoin,
     FormatLastJoin},
};
constexpr int32_t rowCount = static_cast<int32_t>(std::size(settingRows));
static_assert(rowCount + playerCount * controlCount <= maxSettingSlots,
              "raise maxSettingSlots for the new settings");

constexpr const char* playerSections[playerCount] = {"first player", "second player"};
constexpr const char* semicolonName = "Semicolon";

}  // namespace

bool ReadMatchRule(const char* text, MatchRule* rule) {
    if (strcasecmp(text, "endless") == 0) {
        *rule = MatchRule{};
        return true;
    }
    int32_t number = 0;
    if (strncasecmp(text, "kills ", 6) == 0 &&
        ParseSmall(text + 6, 1, MatchRule::mostKills, &number)) {
        *rule = MatchRule{MatchFirstToKills, number};
        return true;
    }
    if (strncasecmp(text, "minutes ", 8) == 0 &&
        ParseSmall(text + 8, 1, MatchRule::mostMinutes, &number)) {
        *rule = MatchRule{MatchTimeLimit, number};
        return true;
    }
    return false;
}

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
