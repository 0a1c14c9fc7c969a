// The headless world: reset from code-drawn shapes and scripted frames.
#include "rules/headless_world.h"

#include "rules/next_random.h"
#include "rules/starting_field.h"
#include "rules/world_state.h"
#include "rules/world_step.h"
#include "sprites/rle_sprite.h"

namespace {

constexpr int32_t shapeSide = blastSpriteSide;
constexpr uint16_t shapeKey = 0x7C1F;
constexpr uint16_t shapeInk = 0x03E0;

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

void ClearWorld() {
    ResetRandom();
    blastCount = 0;
    for (KiBlast& blast : blasts) {
        blast = KiBlast();
    }
    for (Fighter& fighter : fighters) {
        fighter = Fighter();
    }
    frameEvents.Clear();
}

void ResetHeadlessWorld() {
    ClearWorld();
    BuildBlastShapes();
    BuildStartingField();
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
