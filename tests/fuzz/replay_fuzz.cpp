// Reads arbitrary bytes as a replay and checks what the reader kept against
// the bytes themselves: a whole replay encodes back to exactly the input, a
// cut-short one to a prefix of it, and a refused one keeps nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "replay/replay_reader.h"

namespace {

// The documented layout, written out independently of the writer.
std::vector<uint8_t> Encode(const Replay& replay) {
    std::vector<uint8_t> bytes(replayHeaderSize);
    EncodeReplayHeader(replay.header, bytes.data());
    uint8_t digest[8];
    size_t nextDigest = 0;
    for (size_t k = 0; k < replay.frames.size(); ++k) {
        bytes.push_back(replay.frames[k].first);
        bytes.push_back(replay.frames[k].second);
        if ((k + 1) % replayDigestEvery == 0 && nextDigest < replay.digests.size()) {
            PutLittle64(digest, replay.digests[nextDigest++]);
            bytes.insert(bytes.end(), digest, digest + 8);
        }
    }
    if (replay.finished) {
        PutLittle64(digest, replay.finalDigest);
        bytes.insert(bytes.end(), digest, digest + 8);
    }
    return bytes;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Replay replay;
    const ReplayReadResult result = ReadReplay(data, size, replay);
    Check(result.reason.empty() == (result.status == ReplayReadWhole));
    Check(result.reason.find('\n') == std::string::npos);
    if (result.status == ReplayReadRefused) {
        Check(replay.frames.empty() && replay.digests.empty() && !replay.finished);
        return 0;
    }
    const size_t whole = replay.frames.size() / replayDigestEvery;
    const std::vector<uint8_t> encoded = Encode(replay);
    Check(encoded.size() <= size && std::memcmp(encoded.data(), data, encoded.size()) == 0);
    if (result.status == ReplayReadWhole) {
        Check(replay.finished && encoded.size() == size);
        Check(replay.header.frameCount == replay.frames.size() && replay.digests.size() == whole);
    } else {
        // Cut in the digest after the last whole block at worst.
        Check(!replay.finished);
        Check(replay.digests.size() == whole ||
              (replay.digests.size() + 1 == whole &&
               whole * replayDigestEvery == replay.frames.size()));
        Check(replay.header.frameCount == replayUnfinished ||
              replay.frames.size() <= replay.header.frameCount);
    }
    ReplayMismatch(replay.header, 0);
    return 0;
}
