// The scripted peer: one side of an online match played from a control source.
#include "net/scripted_peer.h"

ScriptedPeer::ScriptedPeer(Link& link, const SessionOptions& options, ControlSource& local,
                           ConfirmedFrameSink* sink)
    : session(link, options), script(nullptr, 0), local(local), sink(sink) {}

ScriptedPeer::ScriptedPeer(Link& link, const SessionOptions& options, const uint8_t* bytes,
                           int32_t scriptLength, ConfirmedFrameSink* sink)
    : session(link, options), script(bytes, scriptLength), local(script), sink(sink) {}

TickResult ScriptedPeer::Step() {
    const TickResult result = session.Tick(local.Controls(session.CurrentFrame()));
    ConfirmedFrame frame;
    while (session.PopConfirmed(&frame)) {
        lastConfirmed = frame;
        if (sink != nullptr) {
            sink->Confirmed(frame);
        }
    }
    return result;
}
