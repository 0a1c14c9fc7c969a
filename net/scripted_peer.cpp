// The scripted peer and the final line of a headless run.
#include "net/scripted_peer.h"

#include <cstdio>

#include "game/game_objects.h"

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

int FormatFinalLine(int32_t frame, char* out, size_t capacity) {
    const Fighter& a = fighters[0];
    const Fighter& b = fighters[1];
    return std::snprintf(out, capacity, "final: %d %d %d %d %d %d %d %d %d %d %d %d %d %d", frame,
                         a.x, a.y, a.state, a.health, a.ki, a.deaths, b.x, b.y, b.state, b.health,
                         b.ki, b.deaths, blastCount);
}
