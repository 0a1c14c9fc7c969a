// ScriptedPeer: one side of an online game played without window or sound,
// its control bytes taken from a ControlSource asked for local frame t at the
// t-th step (a script's byte t, 0 past its end). Headless runs and the tests
// drive the session through it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/rollback_session.h"
#include "rules/control_source.h"

class ScriptedPeer {
public:
    // The local player must outlive the peer, as must the sink (may be null)
    // that gets every confirmed frame. options.frameLimit is the number of
    // world frames to play.
    ScriptedPeer(Link& link, const SessionOptions& options, ControlSource& local,
                 ConfirmedFrameSink* sink = nullptr);
    // The same with the bytes of a script, which is not copied.
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
    // A script's bytes, not copied.
    class ScriptBytes : public ControlSource {
    public:
        ScriptBytes(const uint8_t* bytes, int32_t length) : bytes(bytes), length(length) {}
        uint8_t Controls(int32_t frame) override {
            return bytes != nullptr && frame >= 0 && frame < length ? bytes[frame] : uint8_t{0};
        }

    private:
        const uint8_t* bytes;
        int32_t length;
    };

    RollbackSession session;
    ScriptBytes script;
    ControlSource& local;
    ConfirmedFrameSink* sink;
    ConfirmedFrame lastConfirmed;
};
