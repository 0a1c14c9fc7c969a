// NetStats: what an online game measures about its link and its rollbacks, for
// the panel and for the closing report.
#pragma once

#include <cstdint>

inline constexpr int32_t maxPrediction = 8;  // frames run ahead of the other side's inputs

struct NetStats {
    uint32_t roundTripMs = 0;     // smoothed, in whole milliseconds
    bool roundTripKnown = false;  // the first echo came back
    int32_t rollbacks = 0;
    int64_t rollbackFrames = 0;  // frames re-run, all rollbacks together
    int32_t longestRollback = 0;
    // rollbackLengths[n]: rollbacks that re-ran n frames (1 .. maxPrediction + 1).
    int32_t rollbackLengths[maxPrediction + 2] = {};
    int32_t stalledFrames = 0;  // display frames spent waiting for the other side
    int32_t heldFrames = 0;     // display frames held back to let the other side catch up
    uint64_t bytesSent = 0;
    uint32_t bytesPerSecond = 0;  // sent, averaged since play began
    int32_t packetsReceived = 0;
    int32_t packetsDropped = 0;    // malformed, unknown or out of place
    int32_t confirmedDropped = 0;  // confirmed frames nobody took before the queue ran over
};
