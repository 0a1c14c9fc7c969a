// The replay reader: the header checked field by field, then frames and
// digests taken while whole ones remain, each step bounded by the bytes left.
#include "replay/replay_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

ReplayReadResult Refuse(std::string reason) {
    return ReplayReadResult{ReplayReadRefused, std::move(reason)};
}

ReplayReadResult CutShort(std::string reason) {
    return ReplayReadResult{ReplayReadCutShort, std::move(reason)};
}

std::string Number(uint64_t value) {
    return std::to_string(value);
}

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016" PRIX64, value);
    return text;
}

}  // namespace

ReplayReadResult CheckReplayHeader(const uint8_t* data, size_t size) {
    if (size == 0) {
        return Refuse("the file is empty");
    }
    if (std::memcmp(data, replayMagic, std::min(size, sizeof replayMagic)) != 0) {
        return Refuse("not a replay: it does not start with \"KVREPLAY\"");
    }
    if (size < replayVersionOffset + 2) {
        return Refuse("cut short inside its header (" + Number(size) + " bytes)");
    }
    const uint16_t version = GetLittle16(data + replayVersionOffset);
    const int32_t headerSize = ReplayHeaderSize(version);
    if (headerSize == 0) {
        return Refuse("replay format version " + Number(version) + "; this build reads versions " +
                      Number(replayOldestVersion) + " to " + Number(replayFormatVersion));
    }
    if (size < static_cast<size_t>(headerSize)) {
        return Refuse("cut short inside its header (" + Number(size) + " of " + Number(headerSize) +
                      " bytes)");
    }
    const ReplayHeader header = DecodeReplayHeader(data);
    if (PixelLayoutName(header.pixelLayout) == nullptr) {
        return Refuse("unknown pixel layout " + Number(header.pixelLayout) +
                      " (555 and 565 are known)");
    }
    return ReplayReadResult{ReplayReadWhole, std::string()};
}

ReplayReadResult ReadReplay(const uint8_t* data, size_t size, Replay& replay) {
    replay = Replay();
    ReplayReadResult checked = CheckReplayHeader(data, size);
    if (checked.status != ReplayReadWhole) {
        return checked;
    }
    replay.header = DecodeReplayHeader(data);
    const bool finished = replay.header.frameCount != replayUnfinished;
    const uint64_t promised = finished ? replay.header.frameCount : replayMostFrames;
    // Never more than the bytes can hold, whatever the header claims.
    const size_t headerSize = static_cast<size_t>(ReplayHeaderSize(replay.header.formatVersion));
    const size_t body = size - headerSize;
    replay.frames.reserve(static_cast<size_t>(std::min<uint64_t>(promised, body / 2)));
    replay.digests.reserve(body / (2 * replayDigestEvery + 8));

    size_t at = headerSize;
    bool cut = false;
    while (replay.frames.size() < promised) {
        if (size - at < 2) {
            cut = true;
            break;
        }
        replay.frames.push_back(FrameControls{data[at], data[at + 1]});
        at += 2;
        if (ReplayDigestFollows(replay.frames.size())) {
            if (size - at < 8) {
                cut = true;
                break;
            }
            replay.digests.push_back(GetLittle64(data + at));
            at += 8;
        }
    }
    const std::string held = Number(replay.frames.size());
    if (!finished) {
        return CutShort("unfinished: the game stopped recording it (crashed or was killed) after " +
                        held + " frames");
    }
    if (cut) {
        return CutShort("cut short: the header counts " + Number(promised) +
                        " frames, the file holds " + held);
    }
    if (size - at < 8) {
        return CutShort("cut short: all " + held + " frames are there, the final digest is not");
    }
    replay.finalDigest = GetLittle64(data + at);
    at += 8;
    if (at != size) {
        replay = Replay();
        return Refuse("extra bytes after the end of the replay (" + Number(size - at) + ")");
    }
    replay.finished = true;
    return ReplayReadResult{ReplayReadWhole, std::string()};
}

ReplayReadResult LoadReplayFile(const std::string& path, Replay& replay) {
    replay = Replay();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return Refuse(std::string("cannot open it: ") + std::strerror(errno));
    }
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t got = 0;
    // A file known to be too large is refused without reading it.
    struct stat status;
    bool tooLarge = fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode) &&
                    static_cast<uint64_t>(status.st_size) > replayLargestFile;
    while (!tooLarge && (got = std::fread(block, 1, sizeof block, file)) > 0) {
        if (bytes.size() + got > replayLargestFile) {
            tooLarge = true;
            break;
        }
        bytes.insert(bytes.end(), block, block + got);
    }
    const int readError = std::ferror(file) != 0 ? errno : 0;
    std::fclose(file);
    if (readError != 0) {
        return Refuse(std::string("cannot read it: ") + std::strerror(readError));
    }
    if (tooLarge) {
        return Refuse("larger than any replay (more than " + Number(replayLargestFile) + " bytes)");
    }
    return ReadReplay(bytes.data(), bytes.size(), replay);
}

std::string ReplayMismatch(const ReplayHeader& header, uint64_t artDigest) {
    if (header.pixelLayout != BuildPixelLayout()) {
        const char* theirs = PixelLayoutName(header.pixelLayout);
        return std::string("made by the ") + (theirs != nullptr ? theirs : "unknown") +
               " pixel layout build of the game; this is the " +
               PixelLayoutName(BuildPixelLayout()) + " build";
    }
    if (header.artDigest != artDigest) {
        return "made with other art (art digest " + Hex(header.artDigest) +
               "; the art here digests to " + Hex(artDigest) + ")";
    }
    return std::string();
}
