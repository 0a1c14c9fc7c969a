// World snapshots: fighters and blasts copied by value, the terrain cells by one
// block copy into storage made before the match.
#include "rules/world_snapshot.h"

#include <cstring>

#include "rules/next_random.h"

void WorldSnapshot::Allocate(int32_t terrainWidth, int32_t terrainHeight) {
    const int64_t count =
        terrainWidth > 0 && terrainHeight > 0 ? int64_t{terrainWidth} * terrainHeight : 0;
    cells = count > 0 ? std::make_unique<uint8_t[]>(static_cast<size_t>(count)) : nullptr;
    width = terrainWidth;
    height = terrainHeight;
    taken = false;
}

bool WorldSnapshot::Take() {
    if (terrain.width != width || terrain.height != height ||
        (cells != nullptr) != (terrain.cells != nullptr)) {
        return false;
    }
    for (int32_t i = 0; i < fighterCount; ++i) {
        savedFighters[i] = fighters[i];
    }
    // Only the slots in flight: a slot past blastCount is written whole by the
    // next release before anything reads it.
    savedBlastCount = blastCount < 0 ? 0 : blastCount > blastPoolSize ? blastPoolSize : blastCount;
    for (int32_t i = 0; i < savedBlastCount; ++i) {
        savedBlasts[i] = blasts[i];
    }
    if (cells != nullptr) {
        std::memcpy(cells.get(), terrain.cells, static_cast<size_t>(width) * height);
    }
    randomState = RandomState();
    taken = true;
    return true;
}

bool WorldSnapshot::Restore() const {
    if (!taken || terrain.width != width || terrain.height != height ||
        (cells != nullptr) != (terrain.cells != nullptr)) {
        return false;
    }
    for (int32_t i = 0; i < fighterCount; ++i) {
        Fighter& fighter = fighters[i];
        const uint8_t animTick = fighter.animTick;
        const uint8_t animCycle = fighter.animCycle;
        const uint8_t chargeSound = fighter.chargeSound;
        fighter = savedFighters[i];
        fighter.animTick = animTick;
        fighter.animCycle = animCycle;
        fighter.chargeSound = chargeSound;
    }
    for (int32_t i = 0; i < savedBlastCount; ++i) {
        blasts[i] = savedBlasts[i];
    }
    blastCount = savedBlastCount;
    if (cells != nullptr) {
        std::memcpy(terrain.cells, cells.get(), static_cast<size_t>(width) * height);
    }
    SetRandomState(randomState);
    return true;
}
