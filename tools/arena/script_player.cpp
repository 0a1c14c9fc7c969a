// The script player: the file read whole, then a byte a frame.
#include "tools/arena/script_player.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tools/arena/control_line.h"

bool ScriptPlayer::Load(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        *error = path + ": cannot open it: " + std::strerror(errno);
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    if (file.bad()) {
        *error = path + ": cannot read it";
        return false;
    }
    std::string problem;
    if (!ParseControlLines(text, bytes, &problem)) {
        *error = path + ": " + problem;
        return false;
    }
    return true;
}

uint8_t ScriptPlayer::Controls(int32_t frame) {
    if (frame < 0 || static_cast<size_t>(frame) >= bytes.size()) {
        return 0;
    }
    return bytes[static_cast<size_t>(frame)];
}
