// Feeds arbitrary bytes to the script readers: a player's byte script (and
// its one-line form, an outside player's answer to the arena) and
// kivoro_replay's control script. Either takes the text or refuses
// it at a numbered line and keeps nothing; what it takes stays within its
// frame bound.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "replay/byte_script.h"
#include "tools/replay/control_script.h"

namespace {

bool RefusedAtALine(const std::string& error) {
    return error.rfind("line ", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::vector<uint8_t> bytes;
    std::string error;
    if (ParseByteScript(text, bytes, &error)) {
        if (bytes.size() > byteScriptMostLines || !error.empty()) {
            __builtin_trap();
        }
    } else if (!bytes.empty() || !RefusedAtALine(error)) {
        __builtin_trap();
    }

    // One line as an outside player's answer: a byte, or nothing, and never
    // from text that is not a plain number.
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

    std::istringstream in(text);
    std::vector<FrameControls> frames;
    error.clear();
    if (ParseControlScript(in, frames, &error)) {
        if (frames.size() > scriptMostFrames) {
            __builtin_trap();
        }
    } else if (!frames.empty() || !RefusedAtALine(error)) {
        __builtin_trap();
    }
    return 0;
}
