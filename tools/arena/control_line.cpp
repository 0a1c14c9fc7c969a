// Control byte lines: each checked by hand, character by character.
#include "tools/arena/control_line.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

bool ParseControlLine(std::string_view line, uint8_t* byte) {
    size_t begin = 0;
    size_t end = line.size();
    while (begin < end && IsBlank(line[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(line[end - 1])) {
        --end;
    }
    if (begin == end || end - begin > 3) {
        return false;
    }
    int32_t value = 0;
    for (size_t at = begin; at < end; ++at) {
        if (line[at] < '0' || line[at] > '9') {
            return false;
        }
        value = value * 10 + (line[at] - '0');
    }
    if (value > 255) {
        return false;
    }
    *byte = static_cast<uint8_t>(value);
    return true;
}

bool ParseControlLines(std::string_view text, std::vector<uint8_t>& bytes, std::string* error) {
    bytes.clear();
    size_t begin = 0;
    size_t line = 1;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (line > controlScriptMostLines) {
            *error = "line " + std::to_string(line) + ": more than " +
                     std::to_string(controlScriptMostLines) + " lines";
            bytes.clear();
            return false;
        }
        uint8_t byte = 0;
        const std::string_view words = text.substr(begin, end - begin);
        if (!ParseControlLine(words, &byte)) {
            *error = "line " + std::to_string(line) + ": \"" + std::string(words.substr(0, 40)) +
                     "\" is not a control byte (a decimal number, 0 to 255)";
            bytes.clear();
            return false;
        }
        bytes.push_back(byte);
        begin = end + 1;
        ++line;
    }
    return true;
}
