// DigestCheck: the desync check of an online match. Each side digests the
// world after every digestInterval confirmed frames and sends it; the two
// must agree, and the other side's must keep coming.
#pragma once

#include <cstdint>

#include "rules/world_timing.h"

inline constexpr int32_t digestInterval = rulesDigestInterval;

class DigestCheck {
public:
    enum Result : uint8_t {
        DigestAgrees = 0,  // or nothing to compare yet
        DigestDiffers = 1,
        DigestRefused = 2,  // not the next one, or for a frame this side never sent bytes for
    };

    // Stepping waits while the other side's digests are this many frames
    // behind the confirmed ones: five seconds of play and the one in flight.
    static constexpr int32_t lagFrames = 300 + digestInterval;

    // This side's digest after frame frames (a multiple of digestInterval).
    Result Own(int32_t frame, uint64_t digest);
    // The other side's. They come in order on the reliable channel, so each is
    // the next one after the last; and none can be for a frame past sentEnd,
    // the frames this side has given bytes for.
    Result Remote(int32_t frame, uint64_t digest, int32_t sentEnd);
    // True when the other side's digests lag the confirmed frames by lagFrames.
    bool Behind(int32_t confirmedEnd) const { return confirmedEnd >= remoteEnd + lagFrames; }
    // The frames the other side's latest digest stands after.
    int32_t RemoteEnd() const { return remoteEnd; }

private:
    struct Entry {
        int32_t frame;  // 0: none
        uint64_t digest;
    };
    // Enough entries to hold every digest between the two sides' latest:
    // lagFrames back and one frame window ahead.
    static constexpr int32_t keep = 8;
    static_assert(keep * digestInterval > lagFrames + digestInterval);

    static Entry& At(Entry* table, int32_t frame) { return table[(frame / digestInterval) % keep]; }
    Result Compare(int32_t frame) const;

    Entry own[keep] = {};
    Entry remote[keep] = {};
    int32_t remoteEnd = 0;
};
