// The settings file: its path, reading it with inih line by line with every
// bad line named once, resolving key bindings that clash, and writing it
// atomically.
#include "settings/settings_file.h"

#include <fcntl.h>
#include <ini.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/input/scan_codes.h"

namespace {

constexpr const char* playerSections[playerCount] = {"first player", "second player"};
constexpr const char* playerWords[playerCount] = {"the first player's", "the second player's"};

// What the reader keeps while inih walks the text: where it is, which line
// inih is on, which lines were already reported, and the bindings the file
// asked for (applied once the whole file is known, so clashes are seen).
struct ReadState {
    const char* text = nullptr;
    size_t size = 0;
    size_t position = 0;
    int32_t line = 0;       // the line the last chunk handed to inih belongs to
    bool lineOpen = false;  // the last chunk did not end its line
    int32_t lastReported = 0;
    int32_t reported = 0;
    const char* name = nullptr;
    FILE* errors = nullptr;
    Settings* settings = nullptr;
    // Per player and control: the key asked for and its line (0: none).
    uint8_t wantedKey[playerCount][controlCount] = {};
    int32_t wantedLine[playerCount][controlCount] = {};
};

__attribute__((format(printf, 3, 4))) void Report(ReadState& state, int32_t line,
                                                  const char* format, ...) {
    if (line == state.lastReported) {
        return;
    }
    state.lastReported = line;
    ++state.reported;
    if (state.errors == nullptr) {
        return;
    }
    char message[256];
    va_list values;
    va_start(values, format);
    std::vsnprintf(message, sizeof message, format, values);
    va_end(values);
    std::fprintf(state.errors, "kivoro: %s:%d: %s\n", state.name, line, message);
}

// Keys are named as the engine names them, except the one whose name would
// read as a comment: after a space inih takes ';' for the start of one.
constexpr const char* semicolonName = "Semicolon";

const char* KeyNameForFile(uint8_t scanCode) {
    return scanCode == ScanCodeSemicolon ? semicolonName : ScanCodeName(scanCode);
}

uint8_t KeyFromFileName(const char* name) {
    return strcasecmp(name, semicolonName) == 0 ? uint8_t{ScanCodeSemicolon}
                                                : ScanCodeFromName(name);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// inih passes over lines it cannot read without telling which (it answers the
// first one only), so the reader looks at each line as it hands it over, by
// inih's own rules: blank, a comment, a [section] or name = value.
void CheckLineShape(ReadState& state, const char* line, size_t length) {
    size_t start = 0;
    if (state.line == 1 && length >= 3 && std::memcmp(line, "\xEF\xBB\xBF", 3) == 0) {
        start = 3;  // a UTF-8 byte-order mark, which inih skips
    }
    while (start < length && IsBlank(line[start])) {
        ++start;
    }
    if (start == length || line[start] == ';' || line[start] == '#') {
        return;
    }
    const char* rest = line + start;
    const size_t restLength = length - start;
    if (rest[0] == '[') {
        if (std::memchr(rest, ']', restLength) == nullptr) {
            Report(state, state.line, "a section name needs its closing ']'");
        }
        return;
    }
    if (std::memchr(rest, '=', restLength) == nullptr &&
        std::memchr(rest, ':', restLength) == nullptr) {
        Report(state, state.line, "not a setting (expected name = value)");
    }
}

// inih's reader: one line, or the first num - 1 bytes of a longer one, like
// fgets. Counts the lines, and reports a line too long for inih's buffer
// (inih would read its rest as further lines).
char* ReadLine(char* out, int num, void* stream) {
    auto& state = *static_cast<ReadState*>(stream);
    if (state.position >= state.size || num < 2) {
        return nullptr;
    }
    const bool newLine = !state.lineOpen;
    if (newLine) {
        ++state.line;
    }
    const size_t room = static_cast<size_t>(num) - 1;
    size_t length = 0;
    while (length < room && state.position + length < state.size) {
        const char c = state.text[state.position + length];
        ++length;
        if (c == '\n') {
            break;
        }
    }
    std::memcpy(out, state.text + state.position, length);
    out[length] = '\0';
    state.position += length;
    const bool ended = out[length - 1] == '\n' || state.position >= state.size;
    state.lineOpen = !ended;
    if (newLine && !ended) {
        Report(state, state.line, "line too long (at most %d characters)", num - 3);
    }
    // A NUL inside the line ends it for inih; the rest of the line is ignored.
    if (newLine) {
        CheckLineShape(state, out, std::strlen(out));
    }
    return out;
}

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

// "WIDTHxHEIGHT" (an x or X between), each side a whole number from
// minWindowSide to maxWindowSide.
bool ParseWindowSize(const char* value, int32_t* width, int32_t* height) {
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
    *width = sides[0];
    *height = sides[1];
    return true;
}

int32_t PlayerOfSection(const char* section) {
    for (int32_t player = 0; player < playerCount; ++player) {
        if (strcasecmp(section, playerSections[player]) == 0) {
            return player;
        }
    }
    return -1;
}

// A line a line-too-long report already condemned is not used in part.
int HandleSetting(void* user, const char* section, const char* name, const char* value) {
    auto& state = *static_cast<ReadState*>(user);
    if (state.lastReported == state.line) {
        return 1;
    }
    Settings& settings = *state.settings;
    if (strcasecmp(section, "window") == 0 && strcasecmp(name, "mode") == 0) {
        if (strcasecmp(value, "windowed") == 0 || strcasecmp(value, "fullscreen") == 0) {
            settings.windowed = strcasecmp(value, "windowed") == 0;
        } else {
            Report(state, state.line, "mode is 'windowed' or 'fullscreen', not '%s'", value);
        }
    } else if (strcasecmp(section, "window") == 0 && strcasecmp(name, "size") == 0) {
        if (!ParseWindowSize(value, &settings.windowWidth, &settings.windowHeight)) {
            Report(state, state.line,
                   "size is WIDTHxHEIGHT in pixels, each from %d to %d, not '%s'", minWindowSide,
                   maxWindowSide, value);
        }
    } else if (strcasecmp(section, "sound") == 0 && strcasecmp(name, "volume") == 0) {
        if (!ParsePercent(value, &settings.volume)) {
            Report(state, state.line, "volume is a whole number from 0 to 100, not '%s'", value);
        }
    } else if (strcasecmp(section, "sound") == 0 && strcasecmp(name, "muted") == 0) {
        if (!ParseYesNo(value, &settings.muted)) {
            Report(state, state.line, "muted is 'yes' or 'no', not '%s'", value);
        }
    } else if (const int32_t player = PlayerOfSection(section); player >= 0) {
        const int32_t control = ControlIndexFromName(name);
        const uint8_t key = KeyFromFileName(value);
        if (control < 0) {
            Report(state, state.line, "'%s' is no control (up, down, left, right, turn, charge)",
                   name);
        } else if (key == 0) {
            Report(state, state.line, "no key is named '%s'", value);
        } else if (const char* use = ReservedKeyUse(key); use != nullptr) {
            Report(state, state.line, "%s %s, so no player can have it", KeyNameForFile(key), use);
        } else {
            state.wantedKey[player][control] = key;
            state.wantedLine[player][control] = state.line;
        }
    } else {
        Report(state, state.line, "unknown setting '%s' in section [%s]", name, section);
    }
    return 1;
}

// Applies the bindings the file asked for. While one key drives two controls,
// the binding written later in the file is refused (that control keeps its
// default), so each refusal names a line; refusals can uncover clashes with
// the defaults coming back, so this repeats until none is left.
void ApplyBindings(ReadState& state) {
    KeyBindings& keys = state.settings->keys;
    const KeyBindings defaults = DefaultKeyBindings();
    for (;;) {
        for (int32_t p = 0; p < playerCount; ++p) {
            for (int32_t c = 0; c < controlCount; ++c) {
                keys.keys[p][c] =
                    state.wantedLine[p][c] != 0 ? state.wantedKey[p][c] : defaults.keys[p][c];
            }
        }
        int32_t refusedPlayer = -1;
        int32_t refusedControl = -1;
        int32_t keptPlayer = -1;
        int32_t keptControl = -1;
        for (int32_t a = 0; a < playerCount * controlCount; ++a) {
            for (int32_t b = a + 1; b < playerCount * controlCount; ++b) {
                const int32_t pa = a / controlCount, ca = a % controlCount;
                const int32_t pb = b / controlCount, cb = b % controlCount;
                if (keys.keys[pa][ca] != keys.keys[pb][cb]) {
                    continue;
                }
                // The later line goes; a default (line 0) never does.
                const bool refuseA = state.wantedLine[pa][ca] > state.wantedLine[pb][cb];
                const int32_t p = refuseA ? pa : pb, c = refuseA ? ca : cb;
                if (refusedPlayer < 0 ||
                    state.wantedLine[p][c] > state.wantedLine[refusedPlayer][refusedControl]) {
                    refusedPlayer = p;
                    refusedControl = c;
                    keptPlayer = refuseA ? pb : pa;
                    keptControl = refuseA ? cb : ca;
                }
            }
        }
        const int32_t line =
            refusedPlayer < 0 ? 0 : state.wantedLine[refusedPlayer][refusedControl];
        if (line == 0) {
            return;
        }
        Report(state, line, "%s is already %s %s key; this binding is refused",
               KeyNameForFile(keys.keys[refusedPlayer][refusedControl]), playerWords[keptPlayer],
               ControlName(boundControls[keptControl]));
        state.wantedLine[refusedPlayer][refusedControl] = 0;
    }
}

// Makes every missing folder of path's folder, private to the user as the
// XDG folders are.
bool MakeFolders(const char* path) {
    char folder[settingsPathSize];
    const size_t length = std::strlen(path);
    if (length >= sizeof folder) {
        return false;
    }
    std::memcpy(folder, path, length + 1);
    char* slash = std::strrchr(folder, '/');
    if (slash == nullptr || slash == folder) {
        return true;
    }
    *slash = '\0';
    for (char* p = folder + 1; *p != '\0'; ++p) {
        if (*p == '/') {
            *p = '\0';
            if (mkdir(folder, 0700) != 0 && errno != EEXIST) {
                return false;
            }
            *p = '/';
        }
    }
    return mkdir(folder, 0700) == 0 || errno == EEXIST;
}

// Text appended into a fixed buffer; once it overflows, used passes size.
struct TextBuilder {
    char* buffer;
    size_t size;
    size_t used = 0;

    __attribute__((format(printf, 2, 3))) void Append(const char* format, ...) {
        if (used >= size) {
            return;
        }
        va_list values;
        va_start(values, format);
        const int written = std::vsnprintf(buffer + used, size - used, format, values);
        va_end(values);
        used = written < 0 ? size : used + static_cast<size_t>(written);
    }
};

bool WriteAll(int descriptor, const char* bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = write(descriptor, bytes, count);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

bool SettingsFilePath(char* path, size_t size) {
    if (path == nullptr || size == 0) {
        return false;
    }
    path[0] = '\0';
    const char* config = std::getenv("XDG_CONFIG_HOME");
    int length = -1;
    if (config != nullptr && config[0] == '/') {
        length = std::snprintf(path, size, "%s/kivoro/settings.ini", config);
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        length = std::snprintf(path, size, "%s/.config/kivoro/settings.ini", home);
    }
    if (length < 0 || static_cast<size_t>(length) >= size) {
        path[0] = '\0';
        return false;
    }
    return true;
}

int32_t ReadSettingsText(const char* text, size_t size, const char* name, Settings& settings,
                         FILE* errors) {
    ReadState state;
    state.text = text;
    state.size = text != nullptr ? size : 0;
    state.name = name != nullptr ? name : "settings";
    state.errors = errors;
    state.settings = &settings;
    // Continuation lines (indented text under a setting) would hand a value
    // over twice; here an indented line is a setting like any other.
    ini_allow_multiline = false;
    ini_parse_stream(ReadLine, &state, HandleSetting, &state);
    ApplyBindings(state);
    return state.reported;
}

int32_t ReadSettingsFile(const char* path, Settings& settings, FILE* errors) {
    if (path == nullptr || path[0] == '\0') {
        return 0;
    }
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        if (errno == ENOENT) {
            return 0;
        }
        if (errors != nullptr) {
            std::fprintf(errors, "kivoro: cannot read %s: %s\n", path, std::strerror(errno));
        }
        return 1;
    }
    const std::unique_ptr<char[]> text(new char[maxSettingsFileSize + 1]);
    const size_t size = std::fread(text.get(), 1, maxSettingsFileSize + 1, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    int32_t reported = 0;
    if (failed || size > maxSettingsFileSize) {
        if (errors != nullptr) {
            std::fprintf(errors, "kivoro: %s: %s; the defaults are used\n", path,
                         failed ? "cannot be read" : "larger than 64 KB");
        }
        reported = 1;
    } else {
        reported = ReadSettingsText(text.get(), size, path, settings, errors);
    }
    return reported;
}

int32_t FormatSettings(const Settings& settings, char* buffer, size_t size) {
    TextBuilder text{buffer, size};
    text.Append(
        "# Kivoro's settings. The game writes this file when the window mode or the\n"
        "# volume is changed in play; keys are named by their place on the board.\n\n");
    text.Append("[window]\nmode = %s\n", settings.windowed ? "windowed" : "fullscreen");
    if (settings.windowWidth > 0 && settings.windowHeight > 0) {
        text.Append("size = %dx%d\n", settings.windowWidth, settings.windowHeight);
    }
    text.Append("\n");
    text.Append("[sound]\nvolume = %d\nmuted = %s\n", settings.volume,
                settings.muted ? "yes" : "no");
    for (int32_t player = 0; player < playerCount; ++player) {
        text.Append("\n[%s]\n", playerSections[player]);
        for (int32_t c = 0; c < controlCount; ++c) {
            text.Append("%s = %s\n", ControlName(boundControls[c]),
                        KeyNameForFile(settings.keys.keys[player][c]));
        }
    }
    if (text.used >= size) {
        return -1;
    }
    return static_cast<int32_t>(text.used);
}

bool WriteSettingsFile(const char* path, const Settings& settings) {
    char text[2048];
    const int32_t length = FormatSettings(settings, text, sizeof text);
    char temporary[settingsPathSize];
    if (path == nullptr || path[0] != '/' || length < 0 ||
        std::snprintf(temporary, sizeof temporary, "%s.XXXXXX", path) >=
            static_cast<int>(sizeof temporary) ||
        !MakeFolders(path)) {
        return false;
    }
    const int descriptor = mkstemp(temporary);
    if (descriptor < 0) {
        return false;
    }
    // mkstemp makes the file private; a settings file may be read by others.
    const bool written = fchmod(descriptor, 0644) == 0 &&
                         WriteAll(descriptor, text, static_cast<size_t>(length)) &&
                         fsync(descriptor) == 0;
    if (close(descriptor) != 0 || !written || rename(temporary, path) != 0) {
        unlink(temporary);
        return false;
    }
    // The rename itself reaches the disk with the folder's entries.
    char folder[settingsPathSize];
    std::memcpy(folder, path, std::strlen(path) + 1);
    char* slash = std::strrchr(folder, '/');
    if (slash != nullptr && slash != folder) {
        *slash = '\0';
        const int folderDescriptor = open(folder, O_RDONLY | O_DIRECTORY);
        if (folderDescriptor >= 0) {
            fsync(folderDescriptor);
            close(folderDescriptor);
        }
    }
    return true;
}
