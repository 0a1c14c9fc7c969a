// EndMessage: the one line an online match ends with, on screen and on
// standard error, from the reason and what the session knows when it ends.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/packet_codec.h"

struct EndFacts {
    EndReason reason = EndNone;
    bool byOther = false;  // the other side ended it, or vanished
    int32_t frame = 0;     // for a finish or a desync: the frames played or the frame checked
    const HelloPacket* local = nullptr;
    const HelloPacket* remote = nullptr;  // null until the other side's handshake came
    const char* address = "";             // joining: HOST:PORT
    const char* detail = "";              // what broke: a protocol error, a local fault
    uint32_t limitSeconds = 0;            // the limit a lack of progress ran over
    bool beforePlay = false;              // the match had not begun
    // A finish the match's rule decided: the winner (0 the first player, 1
    // the second, -1 a draw), both players' kills, and the player this side
    // is.
    bool decided = false;
    int32_t winner = -1;
    int32_t kills[2] = {0, 0};
    int32_t localPlayer = 0;
};

// Writes the message, nul-terminated and cut to fit, into out.
void FormatEndMessage(const EndFacts& facts, char* out, size_t size);
