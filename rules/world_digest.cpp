// The world digests: 64-bit FNV-1a over the fields, value by value.
#include "rules/world_digest.h"

#include <cstddef>

#include "rules/fnv1a_digest.h"
#include "rules/next_random.h"
#include "rules/world_state.h"

namespace {

// Which fields of a fighter a digest takes: all of them, or the rules' alone
// (without animTick, animCycle, chargeSound, stateFrame and the camera; see
// DigestRules). The order is the same either way.
enum FighterFields : bool {
    FighterFieldsRules = false,
    FighterFieldsAll = true,
};

void AddFighter(Fnv1aDigest& digest, const Fighter& f, FighterFields fields) {
    const bool all = fields == FighterFieldsAll;
    if (all) {
        digest.Value(f.chargeSound);
    }
    digest.Value(f.moveLock);
    digest.Value(f.deaths);
    digest.Value(f.stunTimer);
    digest.Value(f.turnCooldown);
    digest.Value(f.recoilTimer);
    digest.Value(f.health);
    digest.Value(f.ki);
    digest.Value(f.bobFalling);
    digest.Bits(f.bobSpeed);
    digest.Value(f.bobOffset);
    if (all) {
        digest.Value(f.animTick);
        digest.Value(f.animCycle);
    }
    digest.Value(f.motion);
    digest.Value(f.facing);
    digest.Value(f.aim);
    digest.Value(f.state);
    digest.Value(f.firstPlayer);
    if (all) {
        digest.Add(f.stateFrame, sizeof f.stateFrame);
    }
    digest.Value(f.muzzleX);
    digest.Value(f.muzzleY);
    digest.Value(f.dy);
    digest.Value(f.dx);
    digest.Value(f.y);
    digest.Value(f.x);
    if (all) {
        digest.Value(f.cameraX);
        digest.Value(f.cameraY);
    }
}

void AddBlastsAndTerrain(Fnv1aDigest& digest) {
    digest.Value(blastCount);
    for (int32_t i = 0; i < blastCount; ++i) {
        const KiBlast& b = blasts[i];
        digest.Value(b.power);
        digest.Value(b.shooter);
        digest.Value(b.size);
        digest.Value(b.vx);
        digest.Value(b.vy);
        digest.Value(b.x);
        digest.Value(b.y);
    }
    digest.Value(terrain.width);
    digest.Value(terrain.height);
    if (terrain.cells != nullptr) {
        digest.Add(terrain.cells, static_cast<size_t>(terrain.width) * terrain.height);
    }
}

}  // namespace

uint64_t DigestWorld() {
    Fnv1aDigest digest;
    for (const Fighter& fighter : fighters) {
        AddFighter(digest, fighter, FighterFieldsAll);
    }
    AddBlastsAndTerrain(digest);
    return digest.hash;
}

uint64_t DigestRules() {
    Fnv1aDigest digest;
    for (const Fighter& fighter : fighters) {
        AddFighter(digest, fighter, FighterFieldsRules);
    }
    AddBlastsAndTerrain(digest);
    digest.Value(RandomState());
    return digest.hash;
}
