// Reads arbitrary bytes as a replay and checks what the reader kept against
// the bytes themselves: a whole replay encodes back to exactly the input
// (its header to the same fields), a cut-short one to a prefix of it, and a
// refused one keeps nothing. The replay list's summary of the same bytes,
// from the header and the size alone, must say what the reader says.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "replay/replay_list.h"
#include "replay/replay_reader.h"

namespace {

// The documented layout, written out independently of the writer.
std::vector<uint8_t> Encode(const Replay& replay) {
    std::vector<uint8_t> bytes(ReplayHeaderSize(replay.header.formatVersion));
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

bool SameHeader(const ReplayHeader& a, const ReplayHeader& b) {
    return a.formatVersion == b.formatVersion && a.pixelLayout == b.pixelLayout &&
           a.artDigest == b.artDigest && a.frameCount == b.frameCount &&
           a.startTime == b.startTime && a.utcOffsetMinutes == b.utcOffsetMinutes &&
           a.match.kind == b.match.kind && a.match.level == b.match.level &&
           a.match.side == b.match.side && std::strcmp(a.match.otherName, b.match.otherName) == 0 &&
           a.kills[0] == b.kills[0] && a.kills[1] == b.kills[1];
}

// What the list makes of the same bytes agrees with the reader's result.
void CheckSummary(const uint8_t* data, size_t size, const Replay& replay,
                  const ReplayReadResult& result) {
    const size_t head = std::min<size_t>(size, replayHeaderSize);
    const ReplaySummary summary = SummarizeReplay(data, head, size);
    Check(summary.reason == result.reason);
    Check((summary.state == ReplayListUnreadable) == (result.status == ReplayReadRefused));
    Check((summary.state == ReplayListFinished) == (result.status == ReplayReadWhole));
    if (result.status != ReplayReadRefused) {
        Check(summary.frames == replay.frames.size());
        Check(SameHeader(summary.header, replay.header));
    }
    ReplayMatchText(summary.header);
    ReplayKillsText(summary.header);
    // The same header before far more bytes than were given.
    SummarizeReplay(data, head, uint64_t{size} * 100003 + 7);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Replay replay;
    const ReplayReadResult result = ReadReplay(data, size, replay);
    CheckSummary(data, size, replay, result);
    Check(result.reason.empty() == (result.status == ReplayReadWhole));
    Check(result.reason.find('\n') == std::string::npos);
    if (result.status == ReplayReadRefused) {
        Check(replay.frames.empty() && replay.digests.empty() && !replay.finished);
        return 0;
    }
    const size_t whole = replay.frames.size() / replayDigestEvery;
    // The header's bytes that are no field (zero padding, the name past its
    // end) are not kept; the fields and everything after the header are.
    const std::vector<uint8_t> encoded = Encode(replay);
    const size_t header = static_cast<size_t>(ReplayHeaderSize(replay.header.formatVersion));
    Check(encoded.size() <= size && SameHeader(DecodeReplayHeader(encoded.data()), replay.header) &&
          std::memcmp(encoded.data() + header, data + header, encoded.size() - header) == 0);
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
