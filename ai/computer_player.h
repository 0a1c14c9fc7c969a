// ComputerPlayer: a control source that plays one fighter the way a person
// would, from what the two views and the panel show, at three levels. It
// reads the world and never writes it: its look-ahead runs on its own copies
// with its own model of the rules, and its chance comes from its own seeded
// generator, never from the rules' random sequence. So a match against it is
// decided by the control bytes alone and replays like any other.
//
// What it reads: of the other fighter, what the screen shows (position,
// pose, facing, reticle, and health, ki and kills on the panel), its motion
// only as two positions in a row; the blasts drawn in either view; the dirt
// inside the two views; of its own fighter also what its own hands know (the
// lock-outs after a start, a turn or a release). What happens reaches it
// `reaction` frames late, the level deciding how late.
//
// Each frame, in order: nothing while dead or locked after a release; a
// charge in hand is steered onto its aim and let go; a throw is ended by a
// charge or a flight before it ends in a crash; a blast it sees coming is
// dodged; a shot that will meet the other fighter's forecast course is taken
// (free ones of 1 ki to push it into the dirt, one that takes the rest of
// its health when that is certain and affordable); otherwise it closes in,
// digging with free blasts, or keeps away when weak, facing the other
// fighter. No key it chooses takes it into a blast it sees coming.
//
// Use: construct it once per match with the fighter it plays (0 or 1), a
// level and a seed, and call Controls once per world frame, in order, just
// before the frame is stepped (the frame number itself is not needed: it
// counts its own calls). It allocates nothing after construction.
#pragma once

#include <cstdint>

#include "ai/computer_level.h"
#include "ai/dodge_planner.h"
#include "ai/player_random.h"
#include "ai/shot_memory.h"
#include "ai/shot_solver.h"
#include "ai/target_forecast.h"
#include "ai/world_sight.h"
#include "rules/control_source.h"

class ComputerPlayer : public ControlSource {
public:
    ComputerPlayer(int32_t fighterIndex, ComputerLevel level, uint64_t seed);
    ComputerPlayer(const ComputerPlayer&) = delete;
    ComputerPlayer& operator=(const ComputerPlayer&) = delete;
    ~ComputerPlayer() override = default;

    uint8_t Controls(int32_t frame) override;

    int32_t FighterIndex() const { return self; }
    ComputerLevel Level() const { return level; }

private:
    // What the player has in mind for its charge: how much ki, and how far
    // its aim strays this time.
    struct ShotPlan {
        bool active = false;
        int32_t ki = 0;
        int32_t aimError = 0;  // degrees, a multiple of 3
        int32_t startedAt = 0;
        bool dig = false;  // a shot to open the way, not to hit
        int32_t digAim = 0;
        int32_t enemyDeaths = 0;  // the other fighter's deaths when it began
    };

    // What the player knows of its own fighter: its keys and what its own
    // view and panel show.
    struct Own {
        int32_t x = 0;
        int32_t y = 0;
        int32_t state = 0;
        int32_t health = 0;
        int32_t ki = 0;
        int32_t aim = 0;
        uint8_t facing = 1;
        uint8_t motion = 2;
        uint8_t moveLock = 0;
        uint8_t turnCooldown = 0;
        uint8_t recoilTimer = 0;
        int32_t muzzleX = 0;
        int32_t muzzleY = 0;
    };

    static constexpr int32_t historySize = 32;

    // Takes this frame's sight into the history.
    void Look();
    // The other fighter, its course and the blasts coming, from the sight
    // `reaction` frames old.
    void Perceive();
    void AddChargeThreats(const Sight& seen, int32_t age);
    void DropFarThreats();
    uint8_t Decide();
    uint8_t KeepCharging();
    uint8_t Recover();
    // True, with the keys, when it takes a shot or steers toward one; *found
    // tells Navigate that a shot is there or already on its way.
    bool StartShot(uint8_t* controls, bool* found);
    uint8_t Navigate(bool shotFound);
    uint8_t Dig(int32_t direction);
    uint8_t Face(int32_t direction) const;
    uint8_t FlyToward(int32_t direction, bool backward);
    // The ki of a blast that would kill the other fighter, when it can be
    // afforded; 0 when not.
    int32_t FinisherKi() const;
    ShotSetup MakeSetup(int32_t ki) const;
    // The most ki a release may hold and leave the fighter alive.
    int32_t MaxSafeKi() const;
    // Frames until a threat hits the fighter pressing these keys (FirstHit).
    int32_t ThreatHitIn(uint8_t first, uint8_t then) const;
    // True, with the keys, when it gets out of a blast's way this frame.
    bool Threatened(uint8_t* controls);
    // The keys chosen, unless they would take the fighter into a blast it
    // sees coming; then keys that keep it clear, or none.
    uint8_t Guarded(uint8_t controls);
    bool PathOpen(int32_t direction, int32_t steps) const;
    FlightSim OwnFlight() const;
    Step OwnCentre() const;
    const Sight& Now() const;

    int32_t self;
    int32_t other;
    ComputerLevel level;
    LevelTraits traits;
    PlayerRandom random;

    int32_t frame = 0;
    Own own;
    // The last frames' sights, newest at head - 1; the player acts on one
    // `reaction` frames old.
    Sight history[historySize];
    int32_t head = 0;
    int32_t seenCount = 0;
    int32_t reaction = 0;
    int32_t nextReactionDraw = 0;

    // What the player makes of its delayed sight.
    SeenFighter enemy;
    Step enemyVelocity;
    FighterForecast forecast;
    Threat threats[threatCapacity];
    int32_t threatCount = 0;

    ShotPlan shot;
    ShotMemory memory;
    int32_t enemyDeaths = 0;
    int32_t lastState = 0;
    int32_t thrownAt = 0;
    int32_t lastThreatCount = 0;
    bool dodgeNoticed = false;  // whether this level sees the blasts in time
    uint8_t dodgeThen = 0;      // the keys of the way out chosen
    int32_t dodgeUntil = 0;     // kept to until this frame
    int32_t enemyFiredAt = -1000;
};
