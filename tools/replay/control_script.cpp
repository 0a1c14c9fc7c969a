// The control script parser: a line is cut at its comment, split at blanks,
// and its words checked one by one.
#include "tools/replay/control_script.h"

#include <sstream>

namespace {

// A whole word as a number: decimal digits, or 0x and hexadecimal digits.
// False for anything else, or for a value past limit.
bool ParseNumber(const std::string& word, uint64_t limit, uint64_t* value) {
    size_t at = 0;
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        at = 2;
        base = 16;
    }
    if (at == word.size()) {
        return false;
    }
    uint64_t number = 0;
    for (; at < word.size(); ++at) {
        const char c = word[at];
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return false;
        }
        number = number * base + static_cast<uint64_t>(digit);
        if (number > limit) {
            return false;
        }
    }
    *value = number;
    return true;
}

bool ParseControl(const std::string& word, uint8_t* control, std::string* problem) {
    uint64_t value = 0;
    if (!ParseNumber(word, 255, &value)) {
        *problem = "\"" + word + "\" is not a control byte (0 to 255, or 0x00 to 0xFF)";
        return false;
    }
    *control = static_cast<uint8_t>(value);
    return true;
}

// One line's frames: its count and control bytes, or a problem.
bool ParseLine(const std::string& line, uint64_t* count, FrameControls* controls,
               std::string* problem) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::vector<std::string> word;
    for (std::string w; words >> w;) {
        word.push_back(w);
    }
    *count = 0;
    if (word.empty()) {
        return true;
    }
    size_t first = 0;
    *count = 1;
    if (word[0] == "repeat") {
        if (word.size() != 4) {
            *problem = "expected \"repeat N C1 C2\"";
            return false;
        }
        if (!ParseNumber(word[1], scriptMostFrames, count)) {
            *problem = "\"" + word[1] + "\" is not a frame count (0 to " +
                       std::to_string(scriptMostFrames) + ")";
            return false;
        }
        first = 2;
    } else if (word.size() != 2) {
        *problem = "expected \"C1 C2\" or \"repeat N C1 C2\"";
        return false;
    }
    return ParseControl(word[first], &controls->first, problem) &&
           ParseControl(word[first + 1], &controls->second, problem);
}

}  // namespace

bool ParseControlScript(std::istream& in, std::vector<FrameControls>& frames, std::string* error) {
    uint64_t lineNumber = 0;
    uint64_t total = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        uint64_t count = 0;
        FrameControls controls;
        std::string problem;
        if (ParseLine(line, &count, &controls, &problem) && total + count > scriptMostFrames) {
            problem = "more than " + std::to_string(scriptMostFrames) + " frames in all";
        }
        if (!problem.empty()) {
            *error = "line " + std::to_string(lineNumber) + ": " + problem;
            frames.clear();
            return false;
        }
        total += count;
        frames.insert(frames.end(), count, controls);
    }
    return true;
}
