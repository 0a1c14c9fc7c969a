// What a stepped frame tells the layers above it: the charges that began and
// the releases that were made (the only things a fighter is heard doing), and
// the hits a fighter took (for the statistics and a pad's rumble). The rules
// note these and go on; they never reach a sound themselves, so a world
// stepped ahead (a rollback's re-run, a look-ahead on a copy) is silent unless
// its caller hands the events to someone who plays them.
#pragma once

#include <cstdint>

enum FighterEventKind : uint8_t {
    FighterChargeBegan = 0,  // the fighter began to charge
    FighterReleased = 1,     // the charge was released as a blast
    FighterFizzled = 2,      // the charge was released with every blast slot in flight
    FighterHit = 3,          // the other fighter's blast hit it; amount is the health it cost
};

struct FighterEvent {
    uint8_t fighter = 0;  // 0: the first fighter, 1: the second
    uint8_t kind = FighterChargeBegan;
    int32_t amount = 0;
};

// The events of one frame, in the order they happened. A fighter's Update
// makes at most two (a charge begins or ends, and a hit), so two fighters
// fill at most four of the slots.
struct FrameEvents {
    static constexpr int32_t capacity = 4;

    void Clear() { count = 0; }
    void Add(uint8_t fighter, uint8_t kind, int32_t amount = 0) {
        if (count < capacity) {
            events[count++] = FighterEvent{fighter, kind, amount};
        }
    }

    FighterEvent events[capacity] = {};
    int32_t count = 0;
};

// Hears the events of the frames a world is stepped through: the frame's
// number with its events, and when frames already heard are run again after a
// rollback (from fromFrame up to the present), so that nothing is heard twice.
class FrameEventListener {
public:
    virtual ~FrameEventListener() = default;
    virtual void Heard(int32_t frame, const FrameEvents& events) = 0;
    virtual void RerunBegins(int32_t fromFrame) = 0;
    virtual void RerunEnds() = 0;
};
