// ConfirmedRecorder: records an online match's confirmed frames, in order,
// into a MatchRecorder, with the digests the session saved for them.
#pragma once

#include "net/rollback_session.h"
#include "replay/match_recorder.h"

class ConfirmedRecorder : public ConfirmedFrameSink {
public:
    explicit ConfirmedRecorder(MatchRecorder& recorder) : recorder(recorder) {}

    void Confirmed(const ConfirmedFrame& frame) override;

    // Rewinds the session's world to just after its last confirmed frame (the
    // state a replay of them ends in) and finishes the file with its digest,
    // the other side's name put in its header.
    // False when nothing was recorded or the file could not be completed.
    bool Finish(RollbackSession& session);

private:
    MatchRecorder& recorder;
};
