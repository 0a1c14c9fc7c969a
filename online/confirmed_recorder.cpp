// The confirmed recorder: confirmed frames become replay frames.
#include "online/confirmed_recorder.h"

#include "rules/world_digest.h"

void ConfirmedRecorder::Confirmed(const ConfirmedFrame& frame) {
    // The writer asks for a digest after every sixtieth frame, as the session
    // saved one: the digest of the world after that frame as it was stepped
    // with both inputs known, never a predicted one.
    recorder.RecordFrame(frame.controls[0], frame.controls[1],
                         [&frame]() { return frame.rulesDigest; });
}

bool ConfirmedRecorder::Finish(RollbackSession& session) {
    if (!recorder.Recording() || !session.RewindToConfirmed()) {
        return false;
    }
    return recorder.Finish(DigestRules());
}
