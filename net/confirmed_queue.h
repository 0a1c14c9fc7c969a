// ConfirmedQueue: the confirmed frames a session has stepped and its frame
// loop has not taken yet, oldest first, in a fixed ring.
#pragma once

#include <cstdint>

#include "rules/frame_events.h"

// One world frame both players' inputs are known for, as stepped: what a
// replay records, and what the match's rule and statistics are counted from.
// hasDigest every digestInterval frames.
struct ConfirmedFrame {
    int32_t frame = 0;
    uint8_t controls[2] = {0, 0};  // first player, second player
    bool hasDigest = false;
    uint64_t rulesDigest = 0;    // DigestRules after this frame
    FrameEvents events;          // what the frame made heard, and the hits
    int32_t deaths[2] = {0, 0};  // each fighter's deaths after it
};

class ConfirmedQueue {
public:
    static constexpr int32_t capacity = 256;

    // Adds a frame; a full queue drops its oldest first and answers false.
    bool Push(const ConfirmedFrame& frame) {
        bool kept = true;
        if (count == capacity) {
            head = (head + 1) % capacity;
            --count;
            kept = false;
        }
        frames[(head + count) % capacity] = frame;
        ++count;
        return kept;
    }
    // Takes the oldest frame; false when none waits.
    bool Pop(ConfirmedFrame* out) {
        if (count == 0) {
            return false;
        }
        *out = frames[head];
        head = (head + 1) % capacity;
        --count;
        return true;
    }

private:
    ConfirmedFrame frames[capacity] = {};
    int32_t head = 0;
    int32_t count = 0;
};
