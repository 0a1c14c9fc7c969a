// Fighter: profiles, spawning, camera and reticle, animation frame, collision
// test and the per-frame Update.
#include "rules/fighter.h"

#include <cmath>

#include "rules/angle.h"
#include "rules/blast_pool.h"
#include "rules/blast_size_table.h"
#include "rules/frame_events.h"
#include "rules/next_random.h"
#include "rules/world_state.h"

namespace {

// Frame indexes per FighterState in each fighter's own frame set.
constexpr uint8_t firstStateFrames[fighterStateCount] = {0, 5, 8, 4, 3, 6, 4, 9, 4, 12, 13, 10, 11};
constexpr uint8_t secondStateFrames[fighterStateCount] = {0, 4, 5, 2, 1, 3, 2, 2, 5, 8, 9, 6, 7};

constexpr int32_t blastSpeed = 15;
constexpr int32_t flightSpeed = 8;
constexpr uint8_t moveLockFrames = 15;
constexpr uint8_t turnCooldownFrames = 4;
constexpr int32_t fullCharge = 100;

// The travel state for direction d (0..359), flying forward or backward.
int32_t TravelState(int32_t d, bool forward) {
    if (d >= 67 && d <= 112) {
        return StateMoveDown;
    }
    if (d >= 247 && d <= 292) {
        return StateMoveUp;
    }
    if (d <= 22 || d >= 337 || (d >= 157 && d <= 202)) {
        return forward ? StateForwardLevel : StateBackLevel;
    }
    if ((d >= 23 && d <= 66) || (d >= 113 && d <= 156)) {
        return forward ? StateForwardDive : StateBackDive;
    }
    return forward ? StateForwardRise : StateBackRise;
}

}  // namespace

void Fighter::SetProfile(int32_t n) {
    const bool first = n == 1;
    firstPlayer = first ? 1 : 0;
    const LaunchPoint& launch = first ? firstLaunchPoint : secondLaunchPoint;
    muzzleX = launch.x;
    muzzleY = launch.y;
    const uint8_t* frames = first ? firstStateFrames : secondStateFrames;
    for (int32_t s = 0; s < fighterStateCount; ++s) {
        stateFrame[s] = frames[s];
    }
}

void Fighter::Spawn() {
    dy = 0;
    dx = 0;
    health = 100;
    ki = 0;
    motion = MotionStopped;
    state = StateIdle;
    x = NextRandomBelow(terrain.width) * cellPixels;
    y = NextRandomBelow(terrain.height) * cellPixels;
    UpdateCamera();
}

void Fighter::SpawnWithCrater() {
    Spawn();
    const int32_t centre = fighterSize / 2;
    terrain.Carve((x + centre) / cellPixels, (y + centre) / cellPixels,
                  blastSprites[spawnCraterSprite]);
}

void Fighter::UpdateCamera() {
    // 176 = (400 - 48) / 2 puts the sprite in the middle of the view.
    cameraX = x - (viewSize - fighterSize) / 2;
    cameraY = y - (viewSize - fighterSize) / 2;
    if (cameraX < 0) {
        cameraX = 0;
    }
    if (cameraY < 0) {
        cameraY = 0;
    }
    if (cameraX > terrain.width * cellPixels - viewSize) {
        cameraX = terrain.width * cellPixels - viewSize;
    }
    if (cameraY > terrain.height * cellPixels - viewSize) {
        cameraY = terrain.height * cellPixels - viewSize;
    }
}

int32_t Fighter::MuzzleOffset() const {
    return facing == 1 ? muzzleX : fighterSize - muzzleX;
}

int32_t Fighter::ReticleX() const {
    // The reticle's centre pixel goes on the point 30 pixels out along the aim.
    const double along = 30.0 * std::cos(DegreesToRadians(aim));
    return static_cast<int32_t>(along +
                                static_cast<double>(x - cameraX + MuzzleOffset() - reticleCentre));
}

int32_t Fighter::ReticleY() const {
    const double along = 30.0 * std::sin(DegreesToRadians(aim));
    return static_cast<int32_t>(along + static_cast<double>(y - cameraY + muzzleY - reticleCentre));
}

uint8_t Fighter::CurrentFrame() {
    ++animTick;
    if (animTick > 10) {
        animTick = 0;
        ++animCycle;
        if (animCycle > 2) {
            animCycle = 0;
        }
    }
    // Only the first fighter's sheet has an idle cycle (its frames 0..2).
    if (state == StateIdle && firstPlayer == 1) {
        return animCycle;
    }
    return state >= 0 && state < fighterStateCount ? stateFrame[state] : stateFrame[StateIdle];
}

bool Fighter::WouldCollide() const {
    const int32_t nx = x + dx;
    const int32_t ny = y + dy;
    if (nx < 0 || ny < 0 || nx > terrain.width * cellPixels - fighterSize ||
        ny > terrain.height * cellPixels - fighterSize || terrain.cells == nullptr) {
        return true;
    }
    // Only the cell under the sprite's centre counts; the rest may overlap dirt.
    const int32_t column = (nx + fighterSize / 2) / cellPixels;
    const int32_t row = (ny + fighterSize / 2) / cellPixels;
    return terrain.cells[row * terrain.width + column] != 0;
}

void Fighter::Halt() {
    motion = MotionStopped;
    state = StateIdle;
    dy = 0;
    dx = 0;
    bobSpeed = 0.0f;
}

// The order is part of the rules: a dead, recoiling or fully charged fighter loses
// its controls before they act, a turn decides which keys are forward and how the
// aim keys turn, and the hit and collision see the position before this frame's
// move.
void Fighter::Update(uint8_t controls) {
    controls = HoldAndTimers(controls);
    ChargeOrRelease(controls);
    Turn(controls);
    SteerAndStart(controls);
    Travel();
    TakeHit();
    Bob();
    CollideOrFall();
    x += dx;
    y += dy;
}

// Death hold, timers, recovery from a throw, recoil and the full
// charge. Answers the controls that remain in force this frame.
uint8_t Fighter::HoldAndTimers(uint8_t controls) {
    if (health <= 0) {
        state = StateKnockedBack;
        motion = MotionStopped;
        controls = 0;
    }
    if (moveLock != 0) {
        --moveLock;
    }
    if (turnCooldown != 0) {
        --turnCooldown;
    }
    if (stunTimer != 0) {
        --stunTimer;
    }
    if ((state == StateKnockedBack || state == StateCrashed) && stunTimer == 0 && health > 0) {
        state = StateIdle;
        dy = 0;
        dx = 0;
    }
    if (recoilTimer != 0) {
        --recoilTimer;
        controls = 0;
    }
    if (state == StateFiring && recoilTimer == 0) {
        state = StateIdle;
    }
    // A full charge lets go of every key, which releases it below. Only while
    // charging: a fighter thrown in the frame its ki reached 100 would otherwise
    // lose its controls for good, as no release can come outside a charge. It
    // keeps its ki instead, and its next charge releases at once.
    if (ki == fullCharge && state == StateCharging) {
        controls = 0;
    }
    return controls;
}

// Charging while ControlCharge is held, the release when it is let go.
void Fighter::ChargeOrRelease(uint8_t controls) {
    if ((controls & ControlCharge) != 0) {
        if (state != StateCharging) {
            // The first copy of the charge sound is the one a charge starts
            // when no other is heard; whoever plays the events notes the copy
            // it really started.
            chargeSound = 1;
            frameEvents.Add(firstPlayer == 1 ? 0 : 1, FighterChargeBegan);
            state = StateCharging;
        }
        if (ki < fullCharge) {
            ++ki;
        }
        motion = MotionStopped;
        dy = 0;
        dx = 0;
        bobSpeed = 0.0f;
    } else if (state == StateCharging) {
        Release();
    }
}

void Fighter::Release() {
    state = StateFiring;
    // With every slot in flight the blast fizzles: nothing is launched, no release
    // sound plays and no health is paid for it, but the charge is spent and the
    // recoil follows as after any release.
    const bool launched = blastCount < blastPoolSize;
    if (launched) {
        uint8_t size = 0;
        if (ki > 30) {
            size = 3;
        } else if (ki > 20) {
            size = 2;
        } else if (ki > 10) {
            size = 1;
        }
        KiBlast& blast = blasts[blastCount];
        blast.Launch(x + MuzzleOffset(), y + muzzleY, aim, blastSpeed, size);
        blast.shooter = firstPlayer == 1 ? 0 : 1;
        blast.power = static_cast<uint8_t>(ki);
        ++blastCount;
        // Releasing costs health and can kill the releasing fighter.
        health -= ki / 5;
    }
    // The charge sound stops and the release sound plays.
    frameEvents.Add(firstPlayer == 1 ? 0 : 1, launched ? FighterReleased : FighterFizzled);
    recoilTimer = static_cast<uint8_t>(ki);
    ki = 0;
}

// A turn mirrors the aim across the vertical, so the fighter keeps
// aiming at the same height on its other side.
void Fighter::Turn(uint8_t controls) {
    if ((controls & ControlTurn) == 0 || turnCooldown != 0) {
        return;
    }
    facing = facing == 0 ? 1 : 0;
    aim = (aim > 180 || aim < 0) ? 540 - aim : 180 - aim;
    turnCooldown = turnCooldownFrames;
}

// Aim 3 degrees a frame within the facing's half of the circle, landing
// exactly on straight down (90) or straight up (270).
int32_t SteeredAim(int32_t aim, uint8_t facing, uint8_t controls) {
    if (facing == 1) {
        if ((controls & ControlDown) != 0) {
            aim = (aim >= 86 && aim <= 90) ? 90 : aim + 3;
            if (aim >= 360) {
                aim -= 360;
            }
        }
        if ((controls & ControlUp) != 0) {
            aim = (aim >= 270 && aim <= 274) ? 270 : aim - 3;
            if (aim < 0) {
                aim += 360;
            }
        }
    } else {
        if ((controls & ControlDown) != 0) {
            aim = (aim >= 90 && aim <= 94) ? 90 : aim - 3;
        }
        if ((controls & ControlUp) != 0) {
            aim = (aim >= 266 && aim <= 270) ? 270 : aim + 3;
        }
    }
    return aim;
}

// Steer, then start or halt flight.
void Fighter::SteerAndStart(uint8_t controls) {
    const bool mirrored = facing != 1;
    const uint8_t forwardKey = mirrored ? ControlLeft : ControlRight;
    const uint8_t backwardKey = mirrored ? ControlRight : ControlLeft;
    aim = SteeredAim(aim, facing, controls);
    if (state == StateCharging) {
        return;
    }
    // Halting is never locked out; starting is, for 15 frames after the last start.
    if ((controls & forwardKey) != 0) {
        if (motion == MotionBackward) {
            Halt();
        } else if (moveLock == 0) {
            motion = MotionForward;
            moveLock = moveLockFrames;
        }
    } else if ((controls & backwardKey) != 0) {
        if (motion == MotionForward) {
            Halt();
        } else if (moveLock == 0) {
            motion = MotionBackward;
            moveLock = moveLockFrames;
        }
    }
}

// Flight velocity along the aim, or opposite it when flying backward.
void Fighter::Travel() {
    if (motion == MotionStopped) {
        return;
    }
    const bool forward = motion == MotionForward;
    int32_t d = aim;
    if (!forward) {
        d += 180;
        if (d >= 360) {
            d -= 360;
        }
    }
    state = TravelState(d, forward);
    const double radians = DegreesToRadians(d);
    dx = static_cast<int32_t>(flightSpeed * std::cos(radians));
    dy = static_cast<int32_t>(flightSpeed * std::sin(radians));
}

// The other player's blast within reach throws this fighter along its
// path and is used up. A hit carves nothing. Only blasts of sizes 0..3 are ever
// within reach (BlastHitDistance), so the size indexes blastSizeTable.
void Fighter::TakeHit() {
    const int32_t i = FindHittingBlast(x, y, firstPlayer);
    if (i == -1) {
        return;
    }
    const KiBlast& blast = blasts[i];
    motion = MotionStopped;
    state = StateKnockedBack;
    stunTimer = static_cast<uint8_t>(blastSizeTable[blast.size].stunFrames);
    health -= blast.power / 2;
    frameEvents.Add(firstPlayer == 1 ? 0 : 1, FighterHit, blast.power / 2);
    dx = blast.vx;
    dy = blast.vy;
    RemoveBlast(i);
}

// The hover bob. The speed is a float32 stepped by a double 0.2, and the
// offset plus speed is summed in double before truncating; float sums would turn
// at other heights.
void Fighter::Bob() {
    if (bobFalling == 0) {
        bobSpeed = static_cast<float>(static_cast<double>(bobSpeed) + 0.2);
        if (bobSpeed > 2.0) {
            bobFalling = 1;
        }
    } else {
        bobSpeed = static_cast<float>(static_cast<double>(bobSpeed) - 0.2);
        if (bobSpeed < -2.0) {
            bobFalling = 0;
        }
    }
    const double sum = static_cast<double>(bobOffset) + static_cast<double>(bobSpeed);
    bobOffset = static_cast<int8_t>(static_cast<int32_t>(sum));
}

// A thrown fighter that meets dirt or the edge crashes and takes its
// speed as damage, and may die of it; a flying one just waits; a thrown one in
// the open falls a little faster.
void Fighter::CollideOrFall() {
    const bool collides = WouldCollide();
    if (collides && state == StateKnockedBack) {
        const int32_t squares = dx * dx + dy * dy;
        const auto speed = static_cast<int32_t>(std::sqrt(static_cast<double>(squares)));
        state = StateCrashed;
        health -= speed;
        dx = 0;
        dy = 0;
        if (health <= 0) {
            // Every death counts as a kill for the other player, self-inflicted or not.
            ++deaths;
            SpawnWithCrater();
        }
    } else if (collides) {
        dx = 0;
        dy = 0;
    } else if (state == StateKnockedBack) {
        ++dy;
    }
}
