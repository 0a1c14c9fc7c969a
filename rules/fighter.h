// Fighter: one player's character. Hovers, flies, aims, turns, charges ki and
// releases it as a blast, is thrown by the other player's blasts, crashes, dies
// and respawns. One Update per frame with the player's control byte.
#pragma once

#include <cstdint>

#include "rules/art_layout.h"

enum FighterState : int32_t {
    StateIdle = 0,
    StateMoveUp = 1,
    StateMoveDown = 2,
    StateBackLevel = 3,
    StateForwardLevel = 4,
    StateForwardRise = 5,
    StateBackRise = 6,
    StateForwardDive = 7,
    StateBackDive = 8,
    StateKnockedBack = 9,
    StateCrashed = 10,
    StateCharging = 11,
    StateFiring = 12,
};

inline constexpr int32_t fighterStateCount = 13;

// Each fighter's camera shows a square of the field this many pixels wide.
inline constexpr int32_t viewSize = 400;

enum Motion : uint8_t {
    MotionForward = 0,
    MotionBackward = 1,
    MotionStopped = 2,
};

// Bits of the per-frame control byte; other bits are ignored.
enum Control : uint8_t {
    ControlLeft = 0x01,
    ControlRight = 0x02,
    ControlUp = 0x04,
    ControlDown = 0x08,
    ControlCharge = 0x10,
    ControlTurn = 0x20,
};

class Fighter {
public:
    Fighter() = default;
    Fighter(const Fighter&) = default;
    Fighter& operator=(const Fighter&) = default;
    virtual ~Fighter() = default;

    uint8_t chargeSound = 0;   // copy of the charge sound started last: 1 = A, 2 = B
    uint8_t moveLock = 0;      // frames before forward or backward flight may start again
    int32_t deaths = 0;        // shown as the other player's kills
    uint8_t stunTimer = 0;     // frames of knock-back left
    uint8_t turnCooldown = 0;  // frames before the next turn is accepted
    uint8_t recoilTimer = 0;   // frames of lock-out left after a release
    int32_t health = 0;        // no lower bound; 100 after Spawn
    int32_t ki = 0;            // charge, 0..100
    int8_t bobFalling = 0;     // non-zero while bobSpeed is falling
    float bobSpeed = 0.0f;     // hover bob, pixels per frame
    int8_t bobOffset = 0;      // vertical draw offset of the bob, pixels
    uint8_t animTick = 0;      // draws since the idle animation last advanced
    uint8_t animCycle = 0;     // idle animation frame, 0..2
    uint8_t motion = MotionStopped;
    uint8_t facing = 1;  // 1: unmirrored, aim in the right half; 0: mirrored, left half
    int32_t aim = 0;     // degrees, 0 right, 90 down, always 0..359
    int32_t state = StateIdle;
    uint8_t firstPlayer = 0;                     // 1 for the first fighter, 0 for the second
    uint8_t stateFrame[fighterStateCount] = {};  // sprite frame per FighterState
    int32_t muzzleX = 0;                         // launch point inside the unmirrored sprite
    int32_t muzzleY = 0;
    int32_t dy = 0;  // velocity, pixels per frame
    int32_t dx = 0;
    int32_t y = 0;  // top-left of the 48 x 48 sprite in the field
    int32_t x = 0;
    int32_t cameraX = 0;  // field pixel at the top-left of this fighter's view
    int32_t cameraY = 0;

    // 1 selects the first fighter's profile, anything else the second's.
    void SetProfile(int32_t n);
    // Full health at a random cell corner of the field, halted; draws two numbers
    // (x first). The caller opens a crater around the new position.
    void Spawn();
    // Spawn, then a crater (blastSprites entry 4) carved around the cell under
    // the sprite's centre, so the spawn point is open. Used at set-up and for
    // every respawn after a death; it draws no random number of its own.
    void SpawnWithCrater();
    // Centres the fighter in its 400 x 400 view, kept inside the field.
    void UpdateCamera();
    // Top-left of the 21 x 21 reticle relative to the view, 30 pixels out from the
    // launch point along the aim.
    int32_t ReticleX() const;
    int32_t ReticleY() const;
    // The frame to draw; every call advances the idle animation's counter.
    uint8_t CurrentFrame();
    // Whether the move by (dx, dy) would leave the field or put the sprite's centre
    // on dirt. The other fighter is not an obstacle.
    bool WouldCollide() const;
    void Update(uint8_t controls);

private:
    // The launch point's x inside the sprite as it is drawn (mirrored or not).
    int32_t MuzzleOffset() const;
    void Halt();
    uint8_t HoldAndTimers(uint8_t controls);
    void ChargeOrRelease(uint8_t controls);
    void Release();
    void Turn(uint8_t controls);
    void SteerAndStart(uint8_t controls);
    void Travel();
    void TakeHit();
    void Bob();
    void CollideOrFall();
};

// The aim after one frame of the aim keys: 3 degrees a frame within the
// facing's half of the circle, landing exactly on straight down or up.
int32_t SteeredAim(int32_t aim, uint8_t facing, uint8_t controls);
