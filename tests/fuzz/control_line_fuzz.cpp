// Feeds arbitrary bytes to the arena's control line readers: a script as a
// whole, and each piece as one outside player's answer. A script is taken
// whole or refused at a numbered line with nothing kept; an answer is a byte
// or nothing, and never taken from text that is not a plain number.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/arena/control_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::vector<uint8_t> bytes;
    std::string error;
    if (ParseControlLines(text, bytes, &error)) {
        if (bytes.size() > controlScriptMostLines || !error.empty()) {
            __builtin_trap();
        }
    } else if (!bytes.empty() || error.rfind("line ", 0) != 0) {
        __builtin_trap();
    }

    uint8_t byte = 0;
    if (ParseControlLine(text, &byte)) {
        bool digit = false;
        for (const char c : text) {
            if (c >= '0' && c <= '9') {
                digit = true;
            } else if (c != ' ' && c != '\t' && c != '\r') {
                __builtin_trap();
            }
        }
        if (!digit) {
            __builtin_trap();
        }
    }
    return 0;
}
