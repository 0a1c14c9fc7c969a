// Two online peers in one process: the world is a set of globals, so each
// peer keeps its own world in a snapshot and is switched in around its turn.
#pragma once

#include "rules/world_snapshot.h"

class PeerWorld {
public:
    // Starts from the world as it is now.
    PeerWorld() {
        world.AllocateForWorld();
        Leave();
    }
    void Enter() { world.Restore(); }
    void Leave() { world.Take(); }

    // One display frame of a peer, inside this world.
    template <typename Peer>
    void Step(Peer& peer) {
        Enter();
        peer.Step();
        Leave();
    }

private:
    WorldSnapshot world;
};
