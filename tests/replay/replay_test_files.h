// Files for the replay tests: a scratch folder removed afterwards, whole-file
// reads and writes, and replays recorded in the headless world.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "art/art_digest.h"
#include "replay/replay_writer.h"
#include "rules/fighter.h"
#include "rules/frame_controls.h"
#include "rules/headless_world.h"
#include "rules/world_digest.h"
#include "rules/world_step.h"

namespace replaytest {

class ScratchFolder {
public:
    ScratchFolder() {
        static int made = 0;
        path = std::filesystem::temp_directory_path() /
               ("kivoro_replay_test_" + std::to_string(getpid()) + "_" + std::to_string(made++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string File(const std::string& name) const { return (path / name).string(); }
    // The names of the files in the folder.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    std::filesystem::path path;
};

inline std::vector<uint8_t> ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

inline std::string ReadText(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What was written to a temporary stream (std::tmpfile) so far.
inline std::string Written(FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    std::string text;
    for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream)) {
        text += static_cast<char>(c);
    }
    return text;
}

inline void WriteBytes(const std::string& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Both fighters fly about, the first turning its aim, and never charge: every
// frame's controls move a fighter, and a charge pressed for one frame in it
// fires a blast that changes the world for good.
inline std::vector<FrameControls> FlyingScript(int32_t frames) {
    const uint8_t moves[] = {ControlUp, ControlRight, ControlDown, ControlLeft,
                             ControlUp | ControlRight};
    std::vector<FrameControls> script;
    for (int32_t k = 0; k < frames; ++k) {
        script.push_back({moves[(k / 7) % 5], moves[(k / 11 + 2) % 5]});
    }
    return script;
}

// Records script in the headless world (disc shapes) into file, as the game
// records a match; answers the file's bytes.
inline std::vector<uint8_t> RecordHeadless(const std::vector<FrameControls>& script,
                                           const std::string& file) {
    ResetHeadlessWorld();
    ReplayWriter writer;
    writer.Open(file, ArtDigest());
    for (const FrameControls& frame : script) {
        StepWorld(frame.first, frame.second);
        writer.RecordFrame(frame.first, frame.second, DigestRules);
    }
    writer.Finish(DigestRules());
    return ReadBytes(file);
}

// The same replay in format version 1: the short header, the same frames.
inline std::vector<uint8_t> ToVersion1(const std::vector<uint8_t>& bytes) {
    ReplayHeader header = DecodeReplayHeader(bytes.data());
    header.formatVersion = 1;
    std::vector<uint8_t> old(replayHeaderSizeV1);
    EncodeReplayHeader(header, old.data());
    old.insert(old.end(), bytes.begin() + replayHeaderSize, bytes.end());
    return old;
}

}  // namespace replaytest
