// The two world digests: the rules digest changes with every field the rules
// decide and with nothing that only drawing or sound touch; the full digest
// changes with those too.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "rules/headless_world.h"
#include "rules/next_random.h"
#include "rules/world_state.h"

namespace {

struct Change {
    std::string field;
    std::function<void()> apply;
};

// A fresh world with one blast in flight, so the blast fields count too.
void FreshWorldWithABlast() {
    ResetHeadlessWorld();
    blastCount = 1;
    blasts[0].Launch(1000, 1200, 30, 15, 2);
    blasts[0].power = 40;
    blasts[0].shooter = 1;
}

std::vector<Change> RulesChanges() {
    std::vector<Change> changes;
    for (int i = 0; i < fighterCount; ++i) {
        Fighter* f = &fighters[i];
        const std::string who = "fighter " + std::to_string(i) + " ";
        const std::vector<std::pair<const char*, std::function<void()>>> fields = {
            {"x", [f] { f->x += 8; }},
            {"y", [f] { f->y += 8; }},
            {"dx", [f] { f->dx = 3; }},
            {"dy", [f] { f->dy = -2; }},
            {"moveLock", [f] { f->moveLock = 15; }},
            {"turnCooldown", [f] { f->turnCooldown = 4; }},
            {"stunTimer", [f] { f->stunTimer = 25; }},
            {"recoilTimer", [f] { f->recoilTimer = 40; }},
            {"health", [f] { f->health -= 1; }},
            {"ki", [f] { f->ki = 7; }},
            {"deaths", [f] { f->deaths += 1; }},
            {"aim", [f] { f->aim = 3; }},
            {"facing", [f] { f->facing = 0; }},
            {"motion", [f] { f->motion = MotionForward; }},
            {"state", [f] { f->state = StateCharging; }},
            {"bobFalling", [f] { f->bobFalling = 1; }},
            {"bobSpeed", [f] { f->bobSpeed = 0.2f; }},
            {"bobOffset", [f] { f->bobOffset = 3; }},
            {"firstPlayer", [f] { f->firstPlayer = f->firstPlayer == 0 ? 1 : 0; }},
            {"muzzleX", [f] { f->muzzleX += 1; }},
            {"muzzleY", [f] { f->muzzleY += 1; }},
        };
        for (const auto& [field, apply] : fields) {
            changes.push_back({who + field, apply});
        }
    }
    KiBlast* b = &blasts[0];
    changes.push_back({"blastCount", [] { blastCount = 0; }});
    changes.push_back({"blast power", [b] { b->power = 41; }});
    changes.push_back({"blast shooter", [b] { b->shooter = 0; }});
    changes.push_back({"blast size", [b] { b->size = 3; }});
    changes.push_back({"blast vx", [b] { b->vx += 1; }});
    changes.push_back({"blast vy", [b] { b->vy += 1; }});
    changes.push_back({"blast x", [b] { b->x += 1; }});
    changes.push_back({"blast y", [b] { b->y += 1; }});
    changes.push_back({"terrain cell", [] { terrain.cells[123 * terrain.width + 45] ^= 1; }});
    changes.push_back({"random state", [] { NextRandom(); }});
    return changes;
}

TEST(WorldDigest, RulesDigestChangesWithEveryRulesField) {
    for (const Change& change : RulesChanges()) {
        SCOPED_TRACE(change.field);
        FreshWorldWithABlast();
        const uint64_t rules = DigestRules();
        change.apply();
        EXPECT_NE(DigestRules(), rules);
    }
}

// What only drawing and sound touch: the idle animation that CurrentFrame
// advances, the charge sound copy, the picture table and the cameras.
TEST(WorldDigest, RulesDigestIsBlindToDrawingAndSoundButTheFullDigestIsNot) {
    const std::vector<Change> changes = {
        {"CurrentFrame", [] { fighters[0].CurrentFrame(); }},
        {"animCycle", [] { fighters[1].animCycle = 2; }},
        {"chargeSound", [] { fighters[0].chargeSound = 2; }},
        {"stateFrame", [] { fighters[1].stateFrame[StateIdle] = 4; }},
        {"cameraX", [] { fighters[0].cameraX += 8; }},
        {"cameraY", [] { fighters[1].cameraY += 8; }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.field);
        FreshWorldWithABlast();
        const uint64_t rules = DigestRules();
        const uint64_t full = DigestWorld();
        change.apply();
        EXPECT_EQ(DigestRules(), rules);
        EXPECT_NE(DigestWorld(), full);
    }
}

}  // namespace
