// The digest check: two small tables of the latest digests, one per side,
// compared wherever both hold the same frame.
#include "net/digest_check.h"

DigestCheck::Result DigestCheck::Compare(int32_t frame) const {
    const Entry& mine = own[(frame / digestInterval) % keep];
    const Entry& theirs = remote[(frame / digestInterval) % keep];
    if (mine.frame == frame && theirs.frame == frame && mine.digest != theirs.digest) {
        return DigestDiffers;
    }
    return DigestAgrees;
}

DigestCheck::Result DigestCheck::Own(int32_t frame, uint64_t digest) {
    At(own, frame) = Entry{frame, digest};
    return Compare(frame);
}

DigestCheck::Result DigestCheck::Remote(int32_t frame, uint64_t digest, int32_t sentEnd) {
    if (frame != remoteEnd + digestInterval || frame > sentEnd) {
        return DigestRefused;
    }
    remoteEnd = frame;
    At(remote, frame) = Entry{frame, digest};
    return Compare(frame);
}
