// The scripted peer: one side of an online match played from a script.
#include "net/scripted_peer.h"

ScriptedPeer::ScriptedPeer(Link& link, const SessionOptions& options, const uint8_t* script,
                           int32_t scriptLength, ConfirmedFrameSink* sink)
    : session(link, options), script(script), scriptLength(scriptLength), sink(sink) {}

TickResult ScriptedPeer::Step() {
    const int32_t localFrame = session.CurrentFrame();
    const uint8_t controls =
        script != nullptr && localFrame < scriptLength ? script[localFrame] : 0;
    const TickResult result = session.Tick(controls);
    ConfirmedFrame frame;
    while (session.PopConfirmed(&frame)) {
        lastConfirmed = frame;
        if (sink != nullptr) {
            sink->Confirmed(frame);
        }
    }
    return result;
}
