// What the screens started from the title menu lead to. A match ends on its
// end screen, the end screen leads to a rematch or back to the menu, the
// menu to any match; the modes ask the directory (the program's, which knows
// every mode) rather than each other, so no mode's folder depends on another's.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ai/computer_level.h"
#include "app/match_summary.h"
#include "app/mode.h"
#include "rules/control_source.h"
#include "rules/match_rule.h"

// What the player chose to play, enough to play it again.
enum MatchChoiceKind : uint8_t {
    ChoiceTwoPlayers = 0,  // both players at this machine
    ChoiceComputer = 1,    // the first player against the computer
    ChoiceHost = 2,        // online, waiting for the other player
    ChoiceJoin = 3,        // online, joining a host
};

struct MatchChoice {
    MatchChoiceKind kind = ChoiceTwoPlayers;
    ComputerLevel computerLevel = ComputerLevel::Normal;
    MatchRule rule;
    std::string host;   // ChoiceJoin: HOST or HOST:PORT
    uint16_t port = 0;  // ChoiceHost: the port to wait on
};

// The names a match at one machine gives its players on the end screen:
// "Left player" and "Right player", or "You" and "Computer (hard)".
void NameLocalPlayers(const MatchChoice& choice, MatchSummary& summary);

class ModeDirectory {
public:
    virtual ~ModeDirectory() = default;

    virtual std::unique_ptr<Mode> Menu() = 0;
    virtual std::unique_ptr<Mode> Play(const MatchChoice& choice) = 0;
    virtual std::unique_ptr<Mode> EndScreen(const MatchChoice& choice,
                                            const MatchSummary& summary) = 0;
    virtual std::unique_ptr<Mode> Replay(const std::string& path) = 0;
    // A computer player for fighter 0 or 1, its own randomness started from
    // seed.
    virtual std::unique_ptr<ControlSource> ComputerPlayer(int32_t fighter, ComputerLevel level,
                                                          uint32_t seed) = 0;
};
