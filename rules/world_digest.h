// Digests of the world state, compared every few frames by the headless
// harness, and by replays and online play: the full digest of every field,
// and the rules digest of what the rules alone decide.
#pragma once

#include <cstdint>

// A 64-bit digest of every field of both fighters, the blasts in flight and the
// terrain cells. It takes in the drawing's animation counters and the charge
// sound copy as well, so it also pins the drawing cadence: two runs agree only
// if they were drawn alike and their sounds were free alike.
uint64_t DigestWorld();

// A 64-bit digest of the rules state alone, the one a replay or the other end
// of an online game must reproduce frame for frame. It covers:
// - for both fighters: position (x, y), velocity (dx, dy), the timers
//   (moveLock, turnCooldown, stunTimer, recoilTimer), health, ki, deaths, aim,
//   facing, motion, state, the hover bob (bobFalling, bobSpeed, bobOffset) and
//   the profile values the rules read (firstPlayer, muzzleX, muzzleY);
// - blastCount and every field of each blast in flight;
// - the terrain's width, height and cells;
// - the state of the random generator, which decides every later respawn.
// It leaves out what the rules never read, because a run drawn on screen and
// a headless run of the same inputs differ there:
// - animTick and animCycle, advanced by drawing (CurrentFrame, twice per
//   fighter per drawn frame) and not at all without it;
// - chargeSound, which copy of the charge sound was free: the audio thread's
//   timing decides it;
// - stateFrame, which only picks the picture drawn;
// - cameraX and cameraY, which follow from the position (every step ends with
//   UpdateCamera, and Spawn calls it) and are read only by drawing, so they add
//   nothing, and leaving them out keeps the views free to change.
uint64_t DigestRules();
