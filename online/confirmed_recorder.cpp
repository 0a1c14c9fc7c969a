// The confirmed recorder: confirmed frames become replay frames.
#include "online/confirmed_recorder.h"

#include "replay/replay_format.h"
#include "rules/world_digest.h"

// The session saves a digest for exactly the frames after which the replay
// writer asks for one.
static_assert(digestInterval == replayDigestEvery);

void ConfirmedRecorder::Confirmed(const ConfirmedFrame& frame) {
    // The writer asks for a digest after every digestInterval frames, as the session
    // saved one: the digest of the world after that frame as it was stepped
    // with both inputs known, never a predicted one.
    recorder.RecordFrame(frame.controls[0], frame.controls[1],
                         [&frame]() { return frame.rulesDigest; });
}

bool ConfirmedRecorder::Finish(RollbackSession& session) {
    if (!recorder.Recording() || !session.RewindToConfirmed()) {
        return false;
    }
    recorder.NameOtherSide(session.RemoteName(), session.Rule());
    return recorder.Finish(DigestRules());
}
