// WorldSnapshot: a copy of everything the rules read (both fighters, the blasts
// in flight, the terrain cells, the random state), taken and put back without
// allocating, so online play can rewind the world a few frames and re-run it.
#pragma once

#include <cstdint>
#include <memory>

#include "rules/blast_pool.h"
#include "rules/fighter.h"
#include "rules/world_state.h"

class WorldSnapshot {
public:
    WorldSnapshot() = default;
    WorldSnapshot(const WorldSnapshot&) = delete;
    WorldSnapshot& operator=(const WorldSnapshot&) = delete;
    virtual ~WorldSnapshot() = default;

    // Makes room for a terrain of the given size. The only allocation: done
    // once, before the match.
    void Allocate(int32_t terrainWidth, int32_t terrainHeight);
    // Allocate for the terrain as it is now.
    void AllocateForWorld() { Allocate(terrain.width, terrain.height); }

    // Copies the world into the snapshot. False (nothing taken) when the
    // terrain's size is not the one the snapshot was made for.
    bool Take();
    // Puts the world back as it was taken. False, and the world untouched,
    // when nothing was taken or the terrain's size changed since.
    //
    // What only drawing and sound use stays as it is now, because it belongs
    // to what was shown and heard, not to the frame being re-run:
    // - animTick and animCycle advance once per drawn view; re-run frames are
    //   not drawn, so the idle animation goes on from where the screen left it;
    // - chargeSound names the copy of the charge sound playing now; the sound
    //   does not rewind, and the re-run's sound reconciling (FighterSounds)
    //   stops or starts that very copy.
    // The cameras are put back with the positions they follow; every re-run
    // frame recomputes them anyway.
    bool Restore() const;

    bool Taken() const { return taken; }

private:
    Fighter savedFighters[fighterCount];
    KiBlast savedBlasts[blastPoolSize];
    int32_t savedBlastCount = 0;
    std::unique_ptr<uint8_t[]> cells;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t randomState = 0;
    bool taken = false;
};
