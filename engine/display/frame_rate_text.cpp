// FormatFrameRate: four significant digits, plain or in exponent notation.
#include "engine/display/frame_rate_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void FormatFrameRate(double value, char* out, size_t size) {
    if (out == nullptr || size == 0) {
        return;
    }
    if (!(value >= 0.0) || std::isinf(value)) {
        value = 0.0;
    }
    // Rounding to four significant digits, done once: the digits and the
    // decimal exponent of the rounded value.
    char scientific[32];
    std::snprintf(scientific, sizeof scientific, "%.3e", value);
    const char digits[4] = {scientific[0], scientific[2], scientific[3], scientific[4]};
    const int exponent = std::atoi(scientific + 6);

    char text[32];
    size_t length = 0;
    // d, the digits before the point, is exponent + 1 from 1 upward and 0 below.
    const bool plain = value == 0.0 || (exponent >= -1 && exponent <= 3);
    if (plain) {
        if (value == 0.0) {
            std::memcpy(text, "0.0000", 6);
            length = 6;
        } else if (exponent < 0) {
            text[length++] = '0';
            text[length++] = '.';
            for (char digit : digits) {
                text[length++] = digit;
            }
        } else {
            for (int i = 0; i < 4; ++i) {
                if (i == exponent + 1) {
                    text[length++] = '.';
                }
                text[length++] = digits[i];
            }
        }
    } else {
        text[length++] = digits[0];
        text[length++] = '.';
        for (int i = 1; i < 4; ++i) {
            text[length++] = digits[i];
        }
    }
    // Zeros after the point are dropped; the point itself stays.
    if (std::memchr(text, '.', length) != nullptr) {
        while (text[length - 1] == '0') {
            --length;
        }
    }
    if (!plain) {
        length += static_cast<size_t>(std::snprintf(text + length, sizeof text - length, "e%c%03d",
                                                    exponent < 0 ? '-' : '+', std::abs(exponent)));
    }
    text[length] = '\0';
    std::snprintf(out, size, "%s", text);
}
