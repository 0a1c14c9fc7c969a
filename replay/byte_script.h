// Scripts of one player's control bytes, one decimal byte (0 to 255) a line,
// line t the byte for frame t: what a headless online side and the arena's
// script player play, and the line an outside player answers the arena with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One line as a byte: spaces and tabs around the number and a carriage
// return at the end are allowed; nothing else is (no sign, no empty line, no
// second number, nothing past 255). *byte is untouched when false.
bool ParseControlLine(std::string_view line, uint8_t* byte);

// The most lines a script may hold: more than two days of play.
inline constexpr size_t byteScriptMostLines = 10'000'000;
// The longest script file read: 1 MB.
inline constexpr size_t byteScriptMostBytes = 1 << 20;

// Reads the script's bytes from text, each line as ParseControlLine reads it;
// a final newline ends the last line. False, with "line N: what is wrong" in
// *error, at the first bad line; bytes is then empty.
bool ParseByteScript(std::string_view text, std::vector<uint8_t>& bytes, std::string* error);

// Reads the file at path as above. Anything but a readable regular file of at
// most byteScriptMostBytes is refused, the error saying which: "cannot read:
// WHY", "not a regular file", "larger than 1 MB".
bool ReadByteScript(const std::string& path, std::vector<uint8_t>& bytes, std::string* error);
