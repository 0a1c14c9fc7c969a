// The replay file's layout (docs/replay-format.md describes it for other
// programs): the header, where each frame's control bytes and each rules
// digest lie, stored low byte first (engine/little_endian.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/little_endian.h"
#include "rules/match_rule.h"
#include "rules/world_timing.h"

// File layout, all fields little-endian, no padding:
//   header, ReplayHeaderSize(version) bytes; version 1 ends after the frame count:
//     0  magic "KVREPLAY"                               8 bytes
//     8  format version                                 uint16
//    10  pixel layout, 555 or 565                       uint16
//    12  art digest (art_digest.h)                      uint64
//    20  frame count, or replayUnfinished               uint32
//    24  start time, seconds since 1970 UTC (0: none)   int64
//    32  the local time's offset from UTC then, minutes int16
//    34  match kind (ReplayMatchKind)                   uint8
//    35  the computer's level (kind computer), else 0   uint8
//    36  the side played on this machine (ReplaySide)   uint8
//    37  the match's rule (MatchRuleKind)               uint8
//    38  the rule's value (kills or minutes), else 0    uint8
//    39  zero                                           1 byte
//    40  the first player's kills, replayKillsUnknown   uint32
//    44  the second player's kills    until finished    uint32
//    48  the other side's name (online), NUL-padded     32 bytes
//   then for frames 1, 2, ... N: the first player's control byte, the second
//   player's; after every frame whose number is a multiple of
//   replayDigestEvery, the rules digest (DigestRules) of the world after that
//   frame, uint64; then the final rules digest after frame N, uint64.
inline constexpr uint8_t replayMagic[8] = {'K', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'};
inline constexpr uint16_t replayFormatVersion = 2;
// The oldest version still read: a header without the match's facts.
inline constexpr uint16_t replayOldestVersion = 1;
inline constexpr int32_t replayHeaderSizeV1 = 24;
inline constexpr int32_t replayHeaderSize = 80;  // the current version's
inline constexpr size_t replayVersionOffset = 8;
inline constexpr size_t replayLayoutOffset = 10;
inline constexpr size_t replayArtOffset = 12;
inline constexpr size_t replayFrameCountOffset = 20;
inline constexpr size_t replayStartOffset = 24;
inline constexpr size_t replayUtcOffsetOffset = 32;
inline constexpr size_t replayKindOffset = 34;
inline constexpr size_t replayLevelOffset = 35;
inline constexpr size_t replaySideOffset = 36;
inline constexpr size_t replayRuleOffset = 37;
inline constexpr size_t replayRuleValueOffset = 38;
inline constexpr size_t replayKillsOffset = 40;
inline constexpr size_t replayNameOffset = 48;
inline constexpr int32_t replayNameSize = 32;
inline constexpr int32_t replayDigestEvery = rulesDigestInterval;
// The frame count of a file still being written, or left behind by a game
// that stopped without finishing it: its frames are read up to where the file
// ends.
inline constexpr uint32_t replayUnfinished = 0xFFFFFFFF;
inline constexpr uint32_t replayMostFrames = replayUnfinished - 1;
// The kills of a match not finished, or of a version 1 file.
inline constexpr uint32_t replayKillsUnknown = 0xFFFFFFFF;

inline constexpr uint16_t pixelLayout555 = 555;
inline constexpr uint16_t pixelLayout565 = 565;

// The pixel layout of this build.
inline constexpr uint16_t BuildPixelLayout() {
#if KIVORO_PIXEL_565
    return pixelLayout565;
#else
    return pixelLayout555;
#endif
}

// "5-5-5" or "5-6-5"; null for any other value.
const char* PixelLayoutName(uint16_t layout);

// The header's size in a version; 0 for a version this build does not read.
inline constexpr int32_t ReplayHeaderSize(uint16_t version) {
    return version == 1 ? replayHeaderSizeV1 : version == 2 ? replayHeaderSize : 0;
}

enum ReplayMatchKind : uint8_t {
    MatchUnknown = 0,   // a version 1 file, or one made from a script
    MatchLocal = 1,     // both players at this machine
    MatchComputer = 2,  // a player against the computer
    MatchOnline = 3,    // one player here, the other across the network
};

enum ReplaySide : uint8_t {
    SideFirst = 0,   // the first player's fighter (the left view; online, the host)
    SideSecond = 1,  // the second player's (the right view; online, the one who joined)
    SideBoth = 2,    // a local match: both
};

// What kind of match a replay holds, as the list of replays shows it.
struct MatchInfo {
    ReplayMatchKind kind = MatchLocal;
    uint8_t level = 0;           // the computer's level, for MatchComputer
    ReplaySide side = SideBoth;  // online: the side played here; the computer: the player's
    char otherName[replayNameSize + 1] = {};  // online: the other side's name, NUL-terminated
    // When the match was over: a replay that ends where the rule decided it
    // ends on the same summary as the match did.
    MatchRule rule;
};

// A match of both players at this machine.
MatchInfo LocalMatch();
// A player on side against the computer at level.
MatchInfo ComputerMatch(int32_t level, ReplaySide side);
// An online match played on side here against otherName (may be "" until the
// other side has said it; cut at replayNameSize bytes, on a character's
// boundary).
MatchInfo OnlineMatch(ReplaySide side, const char* otherName);
// Sets info's otherName as OnlineMatch does.
void SetOtherName(MatchInfo& info, const char* otherName);
// "local", "computer", "online", "unknown".
const char* MatchKindName(ReplayMatchKind kind);

struct ReplayHeader {
    uint16_t formatVersion = replayFormatVersion;
    uint16_t pixelLayout = BuildPixelLayout();
    uint64_t artDigest = 0;
    uint32_t frameCount = replayUnfinished;
    int64_t startTime = 0;
    int16_t utcOffsetMinutes = 0;
    MatchInfo match;
    uint32_t kills[2] = {replayKillsUnknown, replayKillsUnknown};  // first, second player
};

// Writes ReplayHeaderSize(header.formatVersion) bytes (version 1 leaves the
// match's facts out); answers that size, 0 for an unknown version.
int32_t EncodeReplayHeader(const ReplayHeader& header, uint8_t* out);
// Fills header from the bytes at in, ReplayHeaderSize of the version they
// give (at least replayHeaderSizeV1, and all of them: check first); checks
// nothing else. A version 1 header reads with the match kind unknown, no
// start time, the kills unknown and the rule endless. A rule of a kind this
// build does not know reads as endless, and its value is held to its range.
ReplayHeader DecodeReplayHeader(const uint8_t* in);

// True when the rules digest follows frame number frame (1, 2, ...).
inline constexpr bool ReplayDigestFollows(uint64_t frame) {
    return frame > 0 && frame % replayDigestEvery == 0;
}

// The size in bytes of a finished replay of frameCount frames.
inline constexpr uint64_t ReplayFileSize(uint64_t frameCount,
                                         uint16_t version = replayFormatVersion) {
    return static_cast<uint64_t>(ReplayHeaderSize(version)) + 2 * frameCount +
           8 * (frameCount / replayDigestEvery) + 8;
}

// The whole frames a file of bodySize bytes after its header holds, with the
// digests between them, when no final digest follows (an unfinished file):
// a frame whose digest is cut counts, as the reader keeps it.
inline constexpr uint64_t ReplayFramesIn(uint64_t bodySize) {
    constexpr uint64_t block = 2 * replayDigestEvery + 8;
    const uint64_t rest = (bodySize % block) / 2;
    return bodySize / block * replayDigestEvery +
           (rest < replayDigestEvery ? rest : replayDigestEvery);
}
