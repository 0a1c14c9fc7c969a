// One control byte as a line of text, the form the arena reads from scripts
// and from outside players: a decimal number 0 to 255.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Blanks (spaces, tabs) around the number and a carriage return at the end
// are allowed; nothing else is (no sign, no empty line, no second number).
bool ParseControlLine(std::string_view line, uint8_t* byte);

// The most lines a script may hold: more than two days of play.
inline constexpr size_t controlScriptMostLines = 10'000'000;

// Reads a whole script, one control byte a line; a final newline ends the
// last line. False, with "line N: what is wrong" in *error and bytes left
// empty, at the first bad line.
bool ParseControlLines(std::string_view text, std::vector<uint8_t>& bytes, std::string* error);
