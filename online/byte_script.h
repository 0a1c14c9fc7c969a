// The headless player's script: one decimal control byte (0 to 255) per line,
// line t the byte read at local frame t.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The most lines a script may hold: more than two days of play.
inline constexpr size_t byteScriptMostLines = 10'000'000;
// The longest script file read: 1 MB.
inline constexpr size_t byteScriptMostBytes = 1 << 20;

// Reads the script's bytes from text. Spaces and tabs around a number and a
// carriage return before the line's end are allowed; anything else (an empty
// line, a sign, a number past 255) is refused. False, with "line N: what is
// wrong" in *error, at the first bad line; bytes is then empty.
bool ParseByteScript(const std::string& text, std::vector<uint8_t>& bytes, std::string* error);

// Reads the file at path as above. Anything but a readable regular file of at
// most byteScriptMostBytes is refused, the error saying which: "cannot read:
// WHY", "not a regular file", "larger than 1 MB".
bool ReadByteScript(const std::string& path, std::vector<uint8_t>& bytes, std::string* error);
