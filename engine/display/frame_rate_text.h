// The frame rate as the status panel shows it: four significant digits, a
// trailing point kept where decimals were cut ("60."), exponent notation with
// three exponent digits for very large and very small rates ("1.235e+004").
#pragma once

#include <cstddef>

// Writes the text for value (a rate, never negative) into out, which should
// hold at least 16 bytes; a shorter buffer gets a cut, terminated text.
void FormatFrameRate(double value, char* out, size_t size);
