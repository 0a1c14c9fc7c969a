// The dodge planner: a handful of key patterns, each flown on a copy.
#include "ai/dodge_planner.h"

#include "rules/fighter.h"

namespace {

bool HitAt(const FlightSim& sim, int32_t frame, const Threat* threats, int32_t count) {
    const int32_t cx = sim.x + fighterSize / 2;
    const int32_t cy = sim.y + fighterSize / 2;
    for (int32_t i = 0; i < count; ++i) {
        const Threat& t = threats[i];
        if (frame < t.from) {
            continue;
        }
        const int32_t along = frame - t.from;
        const int32_t ox = cx - (t.x + along * t.vx);
        const int32_t oy = cy - (t.y + along * t.vy);
        if (ox * ox + oy * oy < t.reachSquared) {
            return true;
        }
    }
    return false;
}

}  // namespace

int32_t FirstHit(const FlightSim& start, uint8_t first, uint8_t then, const Threat* threats,
                 int32_t count, const Sight& sight, FlightSim* end) {
    FlightSim sim = start;
    for (int32_t frame = 1; frame <= dodgeHorizon; ++frame) {
        StepFlight(sim, frame == 1 ? first : then, sight);
        if (HitAt(sim, frame, threats, count)) {
            *end = sim;
            return frame;
        }
    }
    *end = sim;
    return dodgeHorizon + 1;
}

DodgeChoice ChooseDodge(const FlightSim& start, const Threat* threats, int32_t count,
                        const Sight& sight, int32_t goalX, int32_t goalY) {
    const uint8_t forward = start.facing == 1 ? ControlRight : ControlLeft;
    const uint8_t backward = start.facing == 1 ? ControlLeft : ControlRight;
    // Turning mirrors the aim, so the turned fighter's forward key is the
    // other one.
    const uint8_t starts[] = {0, forward, backward, static_cast<uint8_t>(ControlTurn | backward),
                              static_cast<uint8_t>(ControlTurn | forward)};
    const uint8_t steers[] = {0, ControlUp, ControlDown};
    DodgeChoice best;
    int64_t bestGap = -1;
    bool any = false;
    for (const uint8_t s : starts) {
        for (const uint8_t steer : steers) {
            FlightSim end;
            const int32_t hitIn = FirstHit(start, static_cast<uint8_t>(s | steer), steer, threats,
                                           count, sight, &end);
            const int64_t gx = end.x - goalX;
            const int64_t gy = end.y - goalY;
            const int64_t gap = gx * gx + gy * gy;
            if (!any || hitIn > best.hitIn || (hitIn == best.hitIn && gap < bestGap)) {
                any = true;
                best.hitIn = hitIn;
                best.first = static_cast<uint8_t>(s | steer);
                best.then = steer;
                bestGap = gap;
            }
        }
    }
    return best;
}
