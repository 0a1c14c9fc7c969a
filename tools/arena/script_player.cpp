// The script player: the file read whole, then a byte a frame.
#include "tools/arena/script_player.h"

#include "replay/byte_script.h"

bool ScriptPlayer::Load(const std::string& path, std::string* error) {
    std::string problem;
    if (!ReadByteScript(path, bytes, &problem)) {
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
