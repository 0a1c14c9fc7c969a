// The lossless settings writer: the old text read once for its values and
// where they lie, the edits sorted by place and applied in one pass, and the
// result read again until it says what was meant.
#include "settings/settings_rewrite.h"

#include <cstring>

#include "settings/setting_rows.h"
#include "settings/settings_reader.h"

namespace {

// Text appended into a fixed buffer; once it overflows, failed is set.
struct Output {
    char* buffer;
    size_t size;
    size_t used = 0;
    bool failed = false;

    void Put(const char* bytes, size_t count) {
        if (failed || count > size - used) {
            failed = true;
            return;
        }
        std::memcpy(buffer + used, bytes, count);
        used += count;
    }
    void Put(const char* text) { Put(text, std::strlen(text)); }
    bool EndsWithBlankLine() const {
        size_t end = used;
        if (end == 0 || buffer[--end] != '\n') {
            return false;
        }
        if (end > 0 && buffer[end - 1] == '\r') {
            --end;
        }
        return end == 0 || buffer[end - 1] == '\n';
    }
    void Spaces(size_t count) {
        for (size_t k = 0; k < count; ++k) {
            Put(" ", 1);
        }
    }
};

enum EditKind : int32_t {
    EditInsert = 0,   // a new line at a section's end (a line boundary)
    EditReplace = 1,  // a value inside a line
};

struct Edit {
    int64_t at;
    EditKind kind;
    int32_t slot;
};

bool Before(const Edit& a, const Edit& b) {
    if (a.at != b.at) {
        return a.at < b.at;
    }
    return a.kind != b.kind ? a.kind < b.kind : a.slot < b.slot;
}

struct Rewrite {
    const char* old;
    size_t oldSize;
    const SettingsLayout& layout;
    const Settings& settings;
    const char* newline;

    void PutLine(Output& out, int32_t slot) const {
        char value[settingValueSize];
        FormatSlot(slot, settings, value, sizeof value);
        out.Put(SlotName(slot));
        out.Put(" = ");
        out.Put(value);
        out.Put(newline);
    }

    // The value's bytes replaced; a following comment keeps its column while
    // the spaces before it allow, and at least one space.
    size_t Replace(Output& out, int32_t slot) const {
        const ValueSpan span = FindValueSpan(old, layout.slots[slot]);
        char value[settingValueSize];
        FormatSlot(slot, settings, value, sizeof value);
        const int64_t length = static_cast<int64_t>(std::strlen(value));
        const char before = old[span.start - 1];
        if (span.start == span.end && (before == '=' || before == ':')) {
            out.Put(" ", 1);
        }
        out.Put(value, static_cast<size_t>(length));
        if (span.comment < 0) {
            return static_cast<size_t>(span.end);
        }
        const int64_t gap = span.comment - span.end;
        bool spacesOnly = true;
        for (int64_t k = span.end; k < span.comment; ++k) {
            spacesOnly = spacesOnly && old[k] == ' ';
        }
        if (!spacesOnly) {
            return static_cast<size_t>(span.end);
        }
        const int64_t wanted = gap + (span.end - span.start) - length;
        out.Spaces(static_cast<size_t>(wanted > 1 ? wanted : 1));
        return static_cast<size_t>(span.comment);
    }

    // The old text with the slots marked in write changed in place, or added
    // when no line names them or they are marked in moved.
    void Compose(const bool* write, const bool* moved, Output& out) const {
        Edit edits[maxSettingSlots];
        int32_t editCount = 0;
        bool appended[maxSettingSlots] = {};
        bool anyAppended = false;
        for (int32_t slot = 0; slot < SettingSlotCount(); ++slot) {
            if (!write[slot]) {
                continue;
            }
            const int32_t section = FindSectionSlot(SlotSection(slot));
            if (layout.slots[slot].start >= 0 && !moved[slot]) {
                edits[editCount++] = Edit{layout.slots[slot].start, EditReplace, slot};
            } else if (layout.sectionEnd[section] >= 0) {
                edits[editCount++] = Edit{layout.sectionEnd[section], EditInsert, slot};
            } else {
                appended[slot] = true;
                anyAppended = true;
            }
        }
        for (int32_t i = 1; i < editCount; ++i) {
            for (int32_t j = i; j > 0 && Before(edits[j], edits[j - 1]); --j) {
                const Edit moved = edits[j];
                edits[j] = edits[j - 1];
                edits[j - 1] = moved;
            }
        }
        size_t copied = 0;
        for (int32_t i = 0; i < editCount; ++i) {
            const Edit& edit = edits[i];
            if (edit.kind == EditReplace) {
                const ValueSpan span = FindValueSpan(old, layout.slots[edit.slot]);
                out.Put(old + copied, static_cast<size_t>(span.start) - copied);
                copied = Replace(out, edit.slot);
                continue;
            }
            const size_t at = static_cast<size_t>(edit.at);
            out.Put(old + copied, at - copied);
            copied = at;
            // Only the last line of a text can end without its newline.
            if (at > 0 && old[at - 1] != '\n' && (i == 0 || edits[i - 1].at != edit.at)) {
                out.Put(newline);
            }
            PutLine(out, edit.slot);
        }
        out.Put(old + copied, oldSize - copied);
        if (!anyAppended) {
            return;
        }
        if (oldSize > 0 && old[oldSize - 1] != '\n') {
            out.Put(newline);
        }
        const char* lastSection = nullptr;
        for (int32_t slot = 0; slot < SettingSlotCount(); ++slot) {
            if (!appended[slot]) {
                continue;
            }
            if (lastSection == nullptr || std::strcmp(lastSection, SlotSection(slot)) != 0) {
                lastSection = SlotSection(slot);
                if (out.used > 0 && !out.EndsWithBlankLine()) {
                    out.Put(newline);
                }
                out.Put("[");
                out.Put(lastSection);
                out.Put("]");
                out.Put(newline);
            }
            PutLine(out, slot);
        }
    }
};

bool SameValue(int32_t slot, const Settings& a, const Settings& b) {
    char first[settingValueSize];
    char second[settingValueSize];
    FormatSlot(slot, a, first, sizeof first);
    FormatSlot(slot, b, second, sizeof second);
    return std::strcmp(first, second) == 0;
}

}  // namespace

int32_t RewriteSettingsText(const char* old, size_t oldSize, const Settings& settings, char* out,
                            size_t size) {
    if (old == nullptr) {
        oldSize = 0;
        old = "";
    }
    Settings current;
    SettingsLayout layout;
    ReadSettingsLayout(old, oldSize, current, layout);
    const Rewrite rewrite{old, oldSize, layout, settings, layout.crlf ? "\r\n" : "\n"};
    bool write[maxSettingSlots] = {};
    bool moved[maxSettingSlots] = {};
    for (int32_t slot = 0; slot < SettingSlotCount(); ++slot) {
        // A value not set (formatted empty) has no line to write.
        char value[settingValueSize];
        FormatSlot(slot, settings, value, sizeof value);
        write[slot] = value[0] != '\0' && !SameValue(slot, current, settings);
    }
    // Each pass marks at least one more slot, so this ends within two passes
    // a slot.
    for (;;) {
        Output text{out, size};
        rewrite.Compose(write, moved, text);
        if (text.failed || text.used > INT32_MAX) {
            return -1;
        }
        Settings again;
        SettingsLayout ignored;
        ReadSettingsLayout(out, text.used, again, ignored);
        bool more = false;
        bool right = true;
        for (int32_t slot = 0; slot < SettingSlotCount(); ++slot) {
            if (SameValue(slot, again, settings)) {
                continue;
            }
            right = false;
            if (!write[slot]) {
                write[slot] = true;
                more = true;
            } else if (!moved[slot] && layout.slots[slot].start >= 0) {
                // Its line no longer reads once changed (too long for the
                // reader, say): the value goes on a line of its own below,
                // which the reader takes last.
                moved[slot] = true;
                more = true;
            }
        }
        if (!more) {
            return right ? static_cast<int32_t>(text.used) : -1;
        }
    }
}
