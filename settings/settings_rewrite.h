// Rewriting the player's settings file without loss: only the values that
// changed are written, in place, and every other byte stays as it was.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/settings.h"

// Room beyond the old text's size that a rewrite can need at most: every
// setting rewritten with its longest value, or appended with its section.
inline constexpr size_t settingsRewriteRoom = 8192;

// Writes into out (size bytes) the settings file text old (oldSize bytes)
// changed so that it reads as settings, and answers its length (-1 when out
// is too small; nothing is NUL-terminated).
//
// A setting whose value the old text already gives (as the reader takes it,
// defaults included) is left alone, and so is its line, even one the reader
// refuses. Each other setting is written over the value of the last line
// that names it in its section: only the value's bytes change, the name, the
// blanks around '=' and an inline "; comment" stay, the comment keeping its
// column while the blanks before it allow. A setting no line names is
// appended to the last block of its section, after its last setting; a
// missing section is appended at the end. New lines end as the old text's
// first line does ("\r\n" or "\n"). Lines that were refused can come into use
// once another line changes (a key freed by a change that a later line
// wanted): the result is read again, and any setting that then reads wrong
// is written as well (on a new line below when its own line no longer reads,
// grown too long for the reader), until the text reads as settings. Answers
// -1 as well when no text can (settings that give a key to two controls).
int32_t RewriteSettingsText(const char* old, size_t oldSize, const Settings& settings, char* out,
                            size_t size);
