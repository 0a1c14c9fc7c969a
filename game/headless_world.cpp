// The headless world: reset from code-drawn shapes, scripted frames, digests.
#include "game/headless_world.h"

#include <cstring>

#include "game/game_objects.h"
#include "game/next_random.h"
#include "game/starting_field.h"
#include "game/world_step.h"
#include "sprites/rle_sprite.h"

namespace {

constexpr int32_t shapeSide = blastSpriteSide;
constexpr uint16_t shapeKey = 0x7C1F;
constexpr uint16_t shapeInk = 0x03E0;

// 64-bit FNV-1a, fed value by value so padding and object layout play no part.
class Digest {
public:
    void Add(const void* data, size_t size) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (size_t k = 0; k < size; ++k) {
            hash = (hash ^ bytes[k]) * 0x100000001B3ull;
        }
    }
    template <typename T>
    void Value(T value) {
        Add(&value, sizeof value);
    }
    uint64_t hash = 0xCBF29CE484222325ull;
};

void AddFighter(Digest& digest, const Fighter& f) {
    digest.Value(f.chargeSound);
    digest.Value(f.moveLock);
    digest.Value(f.deaths);
    digest.Value(f.stunTimer);
    digest.Value(f.turnCooldown);
    digest.Value(f.recoilTimer);
    digest.Value(f.health);
    digest.Value(f.ki);
    digest.Value(f.bobFalling);
    uint32_t speedBits = 0;
    std::memcpy(&speedBits, &f.bobSpeed, sizeof speedBits);
    digest.Value(speedBits);
    digest.Value(f.bobOffset);
    digest.Value(f.animTick);
    digest.Value(f.animCycle);
    digest.Value(f.motion);
    digest.Value(f.facing);
    digest.Value(f.aim);
    digest.Value(f.state);
    digest.Value(f.firstPlayer);
    digest.Add(f.stateFrame, sizeof f.stateFrame);
    digest.Value(f.muzzleX);
    digest.Value(f.muzzleY);
    digest.Value(f.dy);
    digest.Value(f.dx);
    digest.Value(f.y);
    digest.Value(f.x);
    digest.Value(f.cameraX);
    digest.Value(f.cameraY);
}

}  // namespace

void BuildBlastShapes() {
    uint16_t pixels[shapeSide * shapeSide];
    for (int32_t j = 0; j < blastSpriteCount; ++j) {
        const int32_t r2 = blastShapeRadius[j] * blastShapeRadius[j];
        for (int32_t py = 0; py < shapeSide; ++py) {
            for (int32_t px = 0; px < shapeSide; ++px) {
                const int32_t ox = px - blastCentre;
                const int32_t oy = py - blastCentre;
                pixels[py * shapeSide + px] = ox * ox + oy * oy <= r2 ? shapeInk : shapeKey;
            }
        }
        blastSprites[j].Bind(nullptr, shapeSide, shapeSide);
        blastSprites[j].LoadFromPixels(pixels, shapeSide, EncodingKeyed, shapeKey);
    }
}

void ResetHeadlessWorld() {
    ResetRandom();
    blastCount = 0;
    for (KiBlast& blast : blasts) {
        blast = KiBlast();
    }
    for (Fighter& fighter : fighters) {
        fighter = Fighter();
    }
    BuildBlastShapes();
    BuildStartingField();
}

uint64_t DigestWorld() {
    Digest digest;
    for (const Fighter& fighter : fighters) {
        AddFighter(digest, fighter);
    }
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
    return digest.hash;
}

int32_t RunScript(const FrameControls* script, int32_t frameCount, int32_t digestEvery,
                  uint64_t* digests, int32_t digestCapacity) {
    int32_t stored = 0;
    for (int32_t frame = 0; frame < frameCount; ++frame) {
        StepWorld(script[frame].first, script[frame].second);
        if (digestEvery > 0 && (frame + 1) % digestEvery == 0 && stored < digestCapacity) {
            digests[stored++] = DigestWorld();
        }
    }
    return stored;
}
