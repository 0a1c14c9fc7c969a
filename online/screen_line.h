// ScreenLine: one line an online match's screens show, with what kind of
// line it is (which decides its size and colour). Windows-1252 text.
#pragma once

#include <cstdint>
#include <string>

enum ScreenLineKind : uint8_t {
    LineHeading = 0,  // what is going on
    LinePlain = 1,    // what to do about it
    LineAddress = 2,  // an address to tell the other player
    LineNotice = 3,   // what happened meanwhile (a client let go)
};

struct ScreenLine {
    std::string text;
    ScreenLineKind kind = LinePlain;
};
