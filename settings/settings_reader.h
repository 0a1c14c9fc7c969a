// Reading the settings file's text with inih, line by line: every bad line
// named once, the rest used, key bindings that clash resolved. The reader can
// also note where each setting lies, for the writer that changes values in
// place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "settings/setting_rows.h"
#include "settings/settings.h"

// Reads the settings in text (size bytes, not NUL-terminated) over the
// defaults already in settings. Each bad line is reported once on errors as
// "kivoro: NAME:LINE: what is wrong" (name is the file's path); lines that
// are good are used whatever the others say. A binding that gives a key to a
// second control, or to a key the game keeps, is refused with such a line and
// that control keeps its default. Answers the number of lines reported.
int32_t ReadSettingsText(const char* text, size_t size, const char* name, Settings& settings,
                         FILE* errors);

// Where the settings lie in a text, as byte offsets into it.
struct SettingsLayout {
    // Per slot (setting_rows.h): the last line that names it in its section,
    // whether the reader used its value or refused it; start -1 when no line
    // does. A line too long to read is not counted: the reader used none of it.
    struct Line {
        int64_t start = -1;
        int64_t end = 0;  // past its last byte, the newline excluded
        int32_t number = 0;
    };
    Line slots[maxSettingSlots];
    // Per section, numbered by its first slot (FindSectionSlot): the end of
    // the last line of its last [section] block that is its header or a
    // setting, past the newline (or at the end of a text without one); -1
    // when the section is missing.
    int64_t sectionEnd[maxSettingSlots];
    // The text ends its lines with "\r\n" (its first line does).
    bool crlf = false;
};

// ReadSettingsText, silently, filling layout as well.
int32_t ReadSettingsLayout(const char* text, size_t size, Settings& settings,
                           SettingsLayout& layout);

// Where the value of the setting on line lies, by inih's own rules (the
// blanks around it and an inline "; comment" are not part of it).
struct ValueSpan {
    int64_t start = 0;
    int64_t end = 0;
    int64_t comment = -1;  // where the inline comment starts; -1 for none
};
ValueSpan FindValueSpan(const char* text, const SettingsLayout::Line& line);
