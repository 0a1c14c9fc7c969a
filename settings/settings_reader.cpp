// The settings reader: inih walks the text through a line reader that counts
// the lines, checks each one's shape and notes where sections and settings
// lie; the handler takes each value by its row; the bindings are applied
// once the whole file is known, so that clashes are seen.
#include "settings/settings_reader.h"

#include <ini.h>
#include <strings.h>

#include <cstdarg>
#include <cstring>

#include "settings/binding_check.h"

namespace {

constexpr char byteOrderMark[] = "\xEF\xBB\xBF";

// What the reader keeps while inih walks the text: where it is, which line
// inih is on, which lines were already reported, and the bindings the file
// asked for (applied once the whole file is known, so clashes are seen).
struct ReadState {
    const char* text = nullptr;
    size_t size = 0;
    size_t position = 0;
    int32_t line = 0;       // the line the last chunk handed to inih belongs to
    bool lineOpen = false;  // the last chunk did not end its line
    int32_t chunks = 0;     // handed to inih so far (inih skips a BOM in the first)
    // The current line: its first byte, its end before the newline, and past it.
    size_t lineStart = 0;
    size_t lineEnd = 0;
    size_t lineNext = 0;
    int32_t lastReported = 0;
    int32_t reported = 0;
    const char* name = nullptr;
    FILE* errors = nullptr;
    Settings* settings = nullptr;
    SettingsLayout* layout = nullptr;
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

// isspace in the C locale, which is inih's (the game never sets another).
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// inih's find_chars_or_comment over [at, end): the first of chars (none when
// null), or a ';' that follows a blank, which starts an inline comment.
size_t FindCharsOrComment(const char* text, size_t at, size_t end, const char* chars) {
    bool wasSpace = false;
    while (at < end && (chars == nullptr || std::strchr(chars, text[at]) == nullptr) &&
           !(wasSpace && text[at] == ';')) {
        wasSpace = IsSpace(text[at]);
        ++at;
    }
    return at;
}

// Where inih's line starts and ends once it has skipped a first line's BOM
// and stripped the blanks at both ends; a NUL ends the line for inih.
void TrimmedLine(const char* text, size_t& start, size_t& end, bool first) {
    const void* nul = std::memchr(text + start, '\0', end - start);
    if (nul != nullptr) {
        end = static_cast<size_t>(static_cast<const char*>(nul) - text);
    }
    if (first && end - start >= 3 && std::memcmp(text + start, byteOrderMark, 3) == 0) {
        start += 3;
    }
    while (end > start && IsSpace(text[end - 1])) {
        --end;
    }
    while (start < end && IsSpace(text[start])) {
        ++start;
    }
}

// inih passes over lines it cannot read without telling which (it answers the
// first one only), so the reader looks at each line as it hands it over, by
// inih's own rules: blank, a comment, a [section] or name = value.
void CheckLineShape(ReadState& state, const char* line, size_t length) {
    size_t start = 0;
    if (state.line == 1 && length >= 3 && std::memcmp(line, byteOrderMark, 3) == 0) {
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

// A [section] header that inih takes from this chunk moves that section's end
// to the end of the line: the settings it lacks go after its last block.
void NoteSection(ReadState& state, const char* chunk, size_t length) {
    size_t start = 0;
    TrimmedLine(chunk, start, length, state.chunks == 0);
    if (start == length || chunk[start] != '[') {
        return;
    }
    const size_t close = FindCharsOrComment(chunk, start + 1, length, "]");
    char section[64];
    const size_t nameLength = close - start - 1;
    if (close == length || nameLength >= sizeof section) {
        return;
    }
    std::memcpy(section, chunk + start + 1, nameLength);
    section[nameLength] = '\0';
    const int32_t slot = FindSectionSlot(section);
    if (slot >= 0) {
        state.layout->sectionEnd[slot] = static_cast<int64_t>(state.lineNext);
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
        state.lineStart = state.position;
        const void* newline =
            std::memchr(state.text + state.position, '\n', state.size - state.position);
        state.lineEnd = newline != nullptr
                            ? static_cast<size_t>(static_cast<const char*>(newline) - state.text)
                            : state.size;
        state.lineNext = newline != nullptr ? state.lineEnd + 1 : state.size;
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
    if (state.layout != nullptr) {
        NoteSection(state, out, length);
    }
    ++state.chunks;
    return out;
}

void NoteSetting(ReadState& state, const char* section, const char* name) {
    const int32_t sectionSlot = FindSectionSlot(section);
    if (sectionSlot < 0) {
        return;
    }
    state.layout->sectionEnd[sectionSlot] = static_cast<int64_t>(state.lineNext);
    const int32_t slot = FindSettingSlot(section, name);
    if (slot >= 0) {
        state.layout->slots[slot] = SettingsLayout::Line{
            static_cast<int64_t>(state.lineStart), static_cast<int64_t>(state.lineEnd), state.line};
    }
}

// A line a line-too-long report already condemned is not used in part.
int HandleSetting(void* user, const char* section, const char* name, const char* value) {
    auto& state = *static_cast<ReadState*>(user);
    if (state.lastReported == state.line) {
        return 1;
    }
    if (state.layout != nullptr) {
        NoteSetting(state, section, name);
    }
    const int32_t slot = FindSettingSlot(section, name);
    if (slot >= 0 && slot < SettingRowCount()) {
        const SettingRow& row = SettingRowAt(slot);
        if (!row.Parse(value, *state.settings)) {
            Report(state, state.line, "%s, not '%s'", row.expected, value);
        }
    } else if (const int32_t player = PlayerOfSection(section); player >= 0) {
        const int32_t control = ControlIndexFromName(name);
        const uint8_t key = KeyFromFileName(value);
        if (control < 0) {
            Report(state, state.line, "'%s' is no control (up, down, left, right, turn, charge)",
                   name);
        } else if (key == 0) {
            Report(state, state.line, "no key is named '%s'", value);
        } else if (ReservedKeyUse(key) != nullptr) {
            char why[128];
            DescribeReservedKey(key, why, sizeof why);
            Report(state, state.line, "%s", why);
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
        char why[128];
        DescribeTakenKey(keys.keys[refusedPlayer][refusedControl], keptPlayer, keptControl, why,
                         sizeof why);
        Report(state, line, "%s", why);
        state.wantedLine[refusedPlayer][refusedControl] = 0;
    }
}

int32_t Read(ReadState& state) {
    // Continuation lines (indented text under a setting) would hand a value
    // over twice; here an indented line is a setting like any other.
    ini_allow_multiline = false;
    ini_parse_stream(ReadLine, &state, HandleSetting, &state);
    ApplyBindings(state);
    return state.reported;
}

}  // namespace

int32_t ReadSettingsText(const char* text, size_t size, const char* name, Settings& settings,
                         FILE* errors) {
    ReadState state;
    state.text = text;
    state.size = text != nullptr ? size : 0;
    state.name = name != nullptr ? name : "settings";
    state.errors = errors;
    state.settings = &settings;
    return Read(state);
}

int32_t ReadSettingsLayout(const char* text, size_t size, Settings& settings,
                           SettingsLayout& layout) {
    layout = SettingsLayout();
    for (int64_t& end : layout.sectionEnd) {
        end = -1;
    }
    ReadState state;
    state.text = text;
    state.size = text != nullptr ? size : 0;
    state.name = "settings";
    state.settings = &settings;
    state.layout = &layout;
    const void* newline = state.size > 0 ? std::memchr(text, '\n', state.size) : nullptr;
    layout.crlf =
        newline != nullptr && newline != text && static_cast<const char*>(newline)[-1] == '\r';
    return Read(state);
}

ValueSpan FindValueSpan(const char* text, const SettingsLayout::Line& line) {
    size_t start = static_cast<size_t>(line.start);
    size_t end = static_cast<size_t>(line.end);
    TrimmedLine(text, start, end, line.number == 1);
    const size_t separator = FindCharsOrComment(text, start, end, "=:");
    const size_t valueFrom = separator < end ? separator + 1 : end;
    const size_t comment = FindCharsOrComment(text, valueFrom, end, nullptr);
    ValueSpan span;
    span.comment = comment < end ? static_cast<int64_t>(comment) : -1;
    size_t valueStart = valueFrom;
    while (valueStart < comment && IsSpace(text[valueStart])) {
        ++valueStart;
    }
    size_t valueEnd = comment;
    while (valueEnd > valueStart && IsSpace(text[valueEnd - 1])) {
        --valueEnd;
    }
    span.start = static_cast<int64_t>(valueStart);
    span.end = static_cast<int64_t>(valueEnd);
    return span;
}
