// The arena's players, made from their command-line names:
//   computer:LEVEL or computer:LEVEL:SEED   the computer player
//   idle                                     presses nothing
//   script:FILE                              one decimal control byte a line
//   pipe:COMMAND                             an outside program (pipe_player.h)
//   aggressor                                the scripted yardstick (aggressor_player.h)
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "rules/control_source.h"

class PipePlayer;

struct ArenaPlayer {
    std::unique_ptr<ControlSource> source;
    PipePlayer* pipe = nullptr;  // the same object as source, for a pipe player
    std::string name;            // as given on the command line
};

// Makes the player `name` for fighterIndex (0 or 1). seed is the arena's;
// a computer player without its own seed takes it mixed with its side.
// timeoutMs bounds a pipe player's answers. Starts a pipe player's program.
// False, with one line in *error, for a name that is not a player, a script
// that cannot be read or a program that cannot be started.
bool MakeArenaPlayer(const std::string& name, int32_t fighterIndex, uint64_t seed,
                     int32_t timeoutMs, ArenaPlayer* player, std::string* error);

// A whole decimal number no larger than limit; false for anything else.
bool ParseArenaNumber(const std::string& text, uint64_t limit, uint64_t* value);
