// ScriptedPeer: one side of an online game played without window or sound,
// its control bytes taken from a script: byte t is this player's control byte
// read at local frame t (0 past the script's end). Headless runs and the
// tests drive the session through it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/rollback_session.h"

class ScriptedPeer {
public:
    // The script is not copied; it must outlive the peer, as must the sink
    // (may be null) that gets every confirmed frame. options.frameLimit is the
    // number of world frames to play.
    ScriptedPeer(Link& link, const SessionOptions& options, const uint8_t* script,
                 int32_t scriptLength, ConfirmedFrameSink* sink = nullptr);
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;
    virtual ~ScriptedPeer() = default;

    // One display frame: the script's byte for the current local frame, then
    // the session's Tick. The confirmed frames are taken as they come.
    TickResult Step();
    bool Done() const { return session.Ended(); }
    // Ended after playing every frame, not for any other reason.
    bool Finished() const { return session.EndReasonCode() == EndFinished; }
    RollbackSession& Session() { return session; }
    const RollbackSession& Session() const { return session; }
    // The latest confirmed frame taken, with its digest when it had one.
    const ConfirmedFrame& LastConfirmed() const { return lastConfirmed; }

private:
    RollbackSession session;
    const uint8_t* script;
    int32_t scriptLength;
    ConfirmedFrameSink* sink;
    ConfirmedFrame lastConfirmed;
};
