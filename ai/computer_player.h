// ComputerPlayer: a control source that plays one fighter the way a person
// would, from what the two views and the panel show, at three levels. It
// reads the world and never writes it: its look-ahead runs on its own copies
// with its own model of the rules, and its chance comes from its own seeded
// generator, never from the rules' random sequence. So a match against it is
// decided by the control bytes alone and replays like any other.
//
// Use: construct it once per match with the fighter it plays (0 or 1), a
// level and a seed, and call Controls once per world frame, in order, just
// before the frame is stepped. It allocates nothing after construction.
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

    void Look();
    void Perceive();
    void AddChargeThreats(const Sight& seen, int32_t age);
    uint8_t Decide();
    uint8_t KeepCharging();
    uint8_t Recover();
    bool StartShot(uint8_t* controls, bool* found);
    uint8_t Navigate(bool shotFound);
    uint8_t Dig(int32_t direction);
    uint8_t Face(int32_t direction) const;
    uint8_t FlyToward(int32_t direction, bool backward);
    int32_t FinisherKi() const;
    ShotSetup MakeSetup(int32_t ki) const;
    int32_t MaxSafeKi() const;
    int32_t ThreatHitIn(uint8_t first, uint8_t then) const;
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
    bool dodging = false;       // in a stretch of frames with blasts in view
    bool dodgeNoticed = false;  // whether this level sees them in time
    uint8_t dodgeThen = 0;      // the keys of the way out chosen
    int32_t dodgeUntil = 0;     // kept to until this frame
    int32_t enemyFiredAt = -1000;
};
