// Two online peers in one process: the world is a set of globals, so each
// peer keeps its own world in a snapshot and is switched in around its turn,
// together with its sound switch's record of what it has heard.
#pragma once

#include "game/fighter_sounds.h"
#include "game/world_snapshot.h"

class PeerWorld {
public:
    // Starts from the world as it is now.
    PeerWorld() {
        world.AllocateForWorld();
        Leave();
    }
    void Enter() {
        world.Restore();
        fighterSounds = sounds;
    }
    void Leave() {
        world.Take();
        sounds = fighterSounds;
    }

private:
    WorldSnapshot world;
    FighterSounds sounds;
};
