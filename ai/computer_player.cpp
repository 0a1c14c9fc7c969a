// The computer player's frame: look, make sense of what it saw some frames
// ago, then recover from a throw, dodge, shoot or move, in that order.
#include "ai/computer_player.h"

#include <cmath>

#include "ai/shot_solver.h"
#include "rules/blast_size_table.h"
#include "rules/fighter.h"
#include "rules/world_state.h"

namespace {

constexpr int32_t fullCharge = 100;
// A release costs ki / 5 health.
constexpr int32_t kiPerHealth = 5;
// Releases of up to this much ki cost no health.
constexpr int32_t freeKi = kiPerHealth - 1;
// Aims tried either side of the straight line to the target.
constexpr int32_t aimSpread = 15;
// The longest flight, in frames, of a shot at a fighter that is moving: beyond
// it a person cannot say where it will be.
constexpr int32_t movingShotFrames = 40;
// How many more frames a charge may be held for a chance to hit: every frame
// held adds a ki, and the release costs a fifth of a health point per ki.
constexpr int32_t chargePatience = 10;
// A blast taken as coming this much wider than it reaches.
constexpr int32_t threatMargin = 4;
// How close to the other fighter the player likes to fight, and how far away
// it keeps when weak (centre to centre, pixels), give or take the slack.
constexpr int32_t fightDistance = 220;
constexpr int32_t weakDistance = 480;
constexpr int32_t distanceSlack = 80;
constexpr int32_t nearDistance = 120;
// At this much health or less, and less than the other fighter's, it is weak.
constexpr int32_t weakHealth = 35;
// Nearer than this (centre to centre) a few blasts may be on their way at
// once, to keep the other fighter pinned; farther, one at a time.
constexpr int32_t closeRange = 320;
// A fighter that let go a blast in the last this many frames is fighting.
constexpr int32_t activeFrames = 180;
// A finishing blast is charged only when it will hit within this many frames
// of its release.
constexpr int32_t finisherFlight = 20;
// A blast due in this many frames or more leaves time for a free shot before
// getting out of its way.
constexpr int32_t shotWindow = 8;
// A way out is taken only if it puts the hit off by more than this many
// frames, and then kept to for this many frames while it stays clear.
constexpr int32_t dodgeGain = 2;
constexpr int32_t dodgeCommit = 8;
// A charge this big or bigger is watched as a blast about to come.
constexpr int32_t chargeThreatKi = 11;
// A reaction time drawn holds for this many frames.
constexpr int32_t reactionSpell = 45;
// A fighter's step of more than this between two frames was a respawn.
constexpr int32_t mostStep = 20;

int32_t SizeOfKi(int32_t ki) {
    return ki > 30 ? 3 : ki > 20 ? 2 : ki > 10 ? 1 : 0;
}

int32_t ReachOfKi(int32_t ki) {
    return blastSizeTable[SizeOfKi(ki)].hitDistance;
}

uint8_t ForwardKey(uint8_t facing) {
    return facing == 1 ? ControlRight : ControlLeft;
}

uint8_t BackwardKey(uint8_t facing) {
    return facing == 1 ? ControlLeft : ControlRight;
}

// The key that stops flight in this motion: the opposite one.
uint8_t HaltKey(uint8_t facing, uint8_t motion) {
    if (motion == MotionForward) {
        return BackwardKey(facing);
    }
    if (motion == MotionBackward) {
        return ForwardKey(facing);
    }
    return 0;
}

}  // namespace

ComputerPlayer::ComputerPlayer(int32_t fighterIndex, ComputerLevel level, uint64_t seed)
    : self(fighterIndex == 1 ? 1 : 0),
      other(fighterIndex == 1 ? 0 : 1),
      level(level),
      traits(TraitsOf(level)),
      random(seed) {}

uint8_t ComputerPlayer::Controls(int32_t) {
    ++frame;
    Look();
    const Fighter& mine = fighters[self];
    own.x = mine.x;
    own.y = mine.y;
    own.state = mine.state;
    own.health = mine.health;
    own.ki = mine.ki;
    own.aim = mine.aim;
    own.facing = mine.facing;
    own.motion = mine.motion;
    own.moveLock = mine.moveLock;
    own.turnCooldown = mine.turnCooldown;
    own.recoilTimer = mine.recoilTimer;
    own.muzzleX = mine.muzzleX;
    own.muzzleY = mine.muzzleY;
    if (own.state == StateKnockedBack && lastState != StateKnockedBack) {
        thrownAt = frame;
    }
    lastState = own.state;
    // Dead and falling, or locked after a release: no key counts.
    if (own.health <= 0 || own.recoilTimer != 0) {
        if (own.health <= 0) {
            shot = ShotPlan();
        }
        return 0;
    }
    Perceive();
    return Decide();
}

const Sight& ComputerPlayer::Now() const {
    return history[(head + historySize - 1) % historySize];
}

void ComputerPlayer::Look() {
    LookAtWorld(self, &history[head]);
    head = (head + 1) % historySize;
    if (seenCount < historySize) {
        ++seenCount;
    }
    if (frame >= nextReactionDraw) {
        reaction = random.Between(traits.reactionLeast, traits.reactionMost);
        nextReactionDraw = frame + reactionSpell;
    }
}

void ComputerPlayer::Perceive() {
    const int32_t age = reaction < seenCount - 1 ? reaction : seenCount - 1;
    const Sight& seen = history[(head + 2 * historySize - 1 - age) % historySize];
    enemy = seen.fighters[other];
    if (enemy.deaths != enemyDeaths) {
        enemyDeaths = enemy.deaths;
        memory.Forget();
    }
    enemyVelocity = Step{};
    if (age + 1 < seenCount) {
        const SeenFighter& before =
            history[(head + 2 * historySize - 2 - age) % historySize].fighters[other];
        const Step v{enemy.x - before.x, enemy.y - before.y};
        if (std::abs(v.x) <= mostStep && std::abs(v.y) <= mostStep) {
            enemyVelocity = v;
        }
    }
    ForecastFighter(Now(), enemy, enemyVelocity, age, &forecast);

    // The other fighter's blasts as they were seen, carried on to now.
    threatCount = 0;
    const int32_t right = terrain.width * cellPixels;
    const int32_t bottom = terrain.height * cellPixels;
    if (seen.fighters[other].state == StateFiring) {
        enemyFiredAt = frame;
    }
    for (int32_t i = 0; i < seen.blastCount && threatCount < threatCapacity; ++i) {
        const SeenBlast& b = seen.blasts[i];
        if (b.shooter != other) {
            continue;
        }
        Threat& t = threats[threatCount];
        t.x = b.x + age * b.vx;
        t.y = b.y + age * b.vy;
        if (t.x < -52 || t.y < -52 || t.x > right || t.y > bottom) {
            continue;
        }
        t.vx = b.vx;
        t.vy = b.vy;
        const int32_t reach =
            blastSizeTable[b.size < blastSizeCount ? b.size : 0].hitDistance + threatMargin;
        t.reachSquared = reach * reach;
        t.from = 0;
        ++threatCount;
    }
    AddChargeThreats(seen, age);
    DropFarThreats();
    // Whether this level sees what is coming in time is settled anew each time
    // another blast comes into view.
    if (threatCount > lastThreatCount) {
        dodgeNoticed = random.Percent(traits.dodgePercent);
    }
    lastThreatCount = threatCount;
}

// A blast that cannot come within reach of the fighter in the look-ahead,
// however it flies (8 pixels a frame at most), is no threat: only the others
// are weighed, frame by frame, in every plan.
void ComputerPlayer::DropFarThreats() {
    const Step me = OwnCentre();
    int32_t kept = 0;
    for (int32_t i = 0; i < threatCount; ++i) {
        const Threat& t = threats[i];
        const auto reach = static_cast<int32_t>(std::sqrt(static_cast<double>(t.reachSquared)));
        bool near = false;
        for (int32_t frame = t.from; frame <= dodgeHorizon && !near; ++frame) {
            const int32_t along = frame - t.from;
            const int32_t ox = me.x - (t.x + along * t.vx);
            const int32_t oy = me.y - (t.y + along * t.vy);
            const int32_t most = reach + flightPixels * frame;
            near = ox * ox + oy * oy < most * most;
        }
        if (near) {
            threats[kept++] = t;
        }
    }
    threatCount = kept;
}

// A charging fighter can let go in any frame. The blast it would release
// along its aim now, or a few frames from now, is taken as coming; its charge
// on the panel says how big it would be.
void ComputerPlayer::AddChargeThreats(const Sight& seen, int32_t age) {
    const SeenFighter& f = seen.fighters[other];
    if (f.state != StateCharging || f.ki < chargeThreatKi) {
        return;
    }
    const Fighter& profile = fighters[other];
    const int32_t offset = f.facing == 1 ? profile.muzzleX : fighterSize - profile.muzzleX;
    const Step v = BlastStep(f.aim);
    for (const int32_t after : {0, 4, 8}) {
        if (threatCount == threatCapacity) {
            return;
        }
        const int32_t ki = f.ki + age + after < fullCharge ? f.ki + age + after : fullCharge;
        const int32_t reach = ReachOfKi(ki) + threatMargin;
        Threat& t = threats[threatCount++];
        // Released `after` frames from now it is seen one frame later, one step out.
        t.x = f.x + offset + v.x;
        t.y = f.y + profile.muzzleY + v.y;
        t.vx = v.x;
        t.vy = v.y;
        t.reachSquared = reach * reach;
        t.from = after + 1;
    }
}

FlightSim ComputerPlayer::OwnFlight() const {
    FlightSim sim;
    sim.x = own.x;
    sim.y = own.y;
    sim.aim = own.aim;
    sim.facing = own.facing;
    sim.motion = own.motion;
    sim.moveLock = own.moveLock;
    sim.turnCooldown = own.turnCooldown;
    return sim;
}

Step ComputerPlayer::OwnCentre() const {
    return Step{own.x + fighterSize / 2, own.y + fighterSize / 2};
}

int32_t ComputerPlayer::MaxSafeKi() const {
    // ki / 5 must stay below the health left; a full charge releases itself.
    const int32_t most = kiPerHealth * own.health - 1;
    return most < fullCharge ? most : fullCharge;
}

int32_t ComputerPlayer::ThreatHitIn(uint8_t first, uint8_t then) const {
    FlightSim end;
    return FirstHit(OwnFlight(), first, then, threats, threatCount, Now(), &end);
}

uint8_t ComputerPlayer::Decide() {
    if (own.state == StateCharging) {
        return KeepCharging();
    }
    shot.active = false;
    if (own.state == StateKnockedBack) {
        if (frame - thrownAt < traits.recoverFrames) {
            return 0;
        }
        return Guarded(Recover());
    }
    uint8_t controls = 0;
    if (Threatened(&controls)) {
        return controls;
    }
    bool shotFound = false;
    if (StartShot(&controls, &shotFound)) {
        return Guarded(controls);
    }
    return Guarded(Navigate(shotFound));
}

uint8_t ComputerPlayer::Guarded(uint8_t controls) {
    if (threatCount == 0 || !dodgeNoticed) {
        return controls;
    }
    // The aim keys and the charge go on being held; a start or a turn is pressed once.
    const uint8_t then = controls & (ControlUp | ControlDown | ControlCharge);
    const int32_t withThem = ThreatHitIn(controls, then);
    if (withThem > dodgeHorizon) {
        return controls;
    }
    const int32_t without = ThreatHitIn(0, 0);
    if (withThem >= without) {
        return controls;
    }
    // These keys would take the fighter into a blast: hold them back, or get
    // out of its way if holding back is no better.
    const DodgeChoice choice = ChooseDodge(OwnFlight(), threats, threatCount, Now(), own.x, own.y);
    if (choice.hitIn > without) {
        dodgeThen = choice.then;
        dodgeUntil = frame + dodgeCommit;
        return choice.first;
    }
    return 0;
}

bool ComputerPlayer::Threatened(uint8_t* controls) {
    if (threatCount == 0 || !dodgeNoticed) {
        dodgeUntil = 0;
        return false;
    }
    // Keep to the way out already chosen while it stays clear.
    if (frame < dodgeUntil) {
        if (ThreatHitIn(dodgeThen, dodgeThen) > dodgeHorizon) {
            *controls = dodgeThen;
            return true;
        }
        dodgeUntil = 0;
    }
    const int32_t stay = ThreatHitIn(0, 0);
    if (stay > dodgeHorizon) {
        return false;
    }
    // Time for a quick shot first: a free blast holds the fighter still for
    // three frames.
    if (stay >= shotWindow && own.ki + 1 <= freeKi) {
        return false;
    }
    const DodgeChoice choice = ChooseDodge(OwnFlight(), threats, threatCount, Now(), own.x, own.y);
    if (choice.hitIn <= stay + dodgeGain) {
        return false;
    }
    *controls = choice.first;
    dodgeThen = choice.then;
    dodgeUntil = frame + dodgeCommit;
    return true;
}

ShotSetup ComputerPlayer::MakeSetup(int32_t ki) const {
    ShotSetup setup;
    setup.shooter = self;
    setup.x = own.x;
    setup.y = own.y;
    setup.muzzleX = own.muzzleX;
    setup.muzzleY = own.muzzleY;
    setup.reach = ReachOfKi(ki);
    setup.aim = own.aim;
    setup.facing = own.facing;
    setup.turnCooldown = own.turnCooldown;
    setup.chargeFrames = ki > own.ki ? ki - own.ki : 0;
    return setup;
}

int32_t ComputerPlayer::FinisherKi() const {
    // A blast whose damage (power / 2) takes the rest of the other fighter's
    // health kills it whatever it does next. The panel shows that health now;
    // a fighter that died since the player last looked is a new one.
    const SeenFighter& shown = Now().fighters[other];
    if (shown.deaths != enemy.deaths || shown.health <= 0) {
        return 0;
    }
    const int32_t finisher = 2 * shown.health;
    const int32_t reserve = level == ComputerLevel::Hard ? 25 : 10;
    if (finisher > traits.finisherKi || finisher > MaxSafeKi() ||
        own.health - finisher / kiPerHealth < reserve) {
        return 0;
    }
    return finisher > 1 ? finisher : 1;
}

uint8_t ComputerPlayer::KeepCharging() {
    const int32_t maxSafe = MaxSafeKi();
    if (!shot.active) {
        shot = ShotPlan();
        shot.active = true;
        shot.ki = own.ki > 1 ? own.ki : 1;
        shot.startedAt = frame;
        shot.enemyDeaths = Now().fighters[other].deaths;
        const int32_t error = traits.aimErrorDegrees / 3;
        shot.aimError = random.Between(-error, error) * 3;
    }
    if (shot.ki > maxSafe) {
        shot.ki = maxSafe;
    }
    // Letting go now would cost the last of its health; only a hit ends the
    // charge without a release, so hold on.
    if (own.ki > maxSafe) {
        return ControlCharge;
    }
    int32_t wanted = shot.digAim;
    bool hits = true;
    if (!shot.dig) {
        const ShotSetup setup = MakeSetup(shot.ki);
        const AimChoice best = BestAim(setup, forecast, aimSpread);
        wanted = best.aim;
        const int32_t strayed = WrapDegrees(best.aim + shot.aimError);
        if (AimInHalf(best.facing, strayed)) {
            wanted = strayed;
        }
        hits = best.outcome.hits;
    }
    const AimSteer steer = SteerAim(own.aim, own.facing, own.turnCooldown, wanted);
    // Its target died and started over elsewhere: let go before the charge
    // costs more.
    const bool targetGone = Now().fighters[other].deaths != shot.enemyDeaths;
    // A free shot stays free: it goes before its charge starts to cost health,
    // on the aim or not; a bigger one waits a little for its aim.
    const int32_t longest = shot.ki <= freeKi ? freeKi : shot.ki + chargePatience;
    const bool mustGo = (own.ki >= maxSafe && maxSafe < fullCharge) || own.ki >= longest ||
                        (targetGone && !shot.dig);
    const bool ready =
        own.ki >= shot.ki && steer.frames == 0 &&
        (hits || own.ki <= freeKi || frame - shot.startedAt > shot.ki + chargePatience);
    if (mustGo || ready) {
        // Let go: the blast leaves along the aim held now.
        const int32_t offset = own.facing == 1 ? own.muzzleX : fighterSize - own.muzzleX;
        memory.Remember(frame, own.x + offset, own.y + own.muzzleY, own.aim, ReachOfKi(own.ki));
        shot.active = false;
        return 0;
    }
    return static_cast<uint8_t>(ControlCharge | steer.controls);
}

uint8_t ComputerPlayer::Recover() {
    // Charging or flying ends a throw before it ends in a crash; flying also
    // gets out of the way of the next blast.
    if (threatCount > 0 && own.moveLock == 0) {
        const DodgeChoice choice =
            ChooseDodge(OwnFlight(), threats, threatCount, Now(), own.x, own.y);
        if (choice.first != 0 && choice.hitIn > dodgeHorizon) {
            dodgeThen = choice.then;
            dodgeUntil = frame + dodgeCommit;
            return choice.first;
        }
    }
    if (own.ki + 1 <= MaxSafeKi()) {
        return ControlCharge;
    }
    if (own.moveLock == 0) {
        return ForwardKey(own.facing);
    }
    return 0;
}

bool ComputerPlayer::StartShot(uint8_t* controls, bool* found) {
    const int32_t maxSafe = MaxSafeKi();
    if (own.ki + 1 > maxSafe) {
        return false;
    }
    // Blasts already on their way to meet it: wait and see.
    const Step me = OwnCentre();
    const int32_t gx = forecast.centre[0].x - me.x;
    const int32_t gy = forecast.centre[0].y - me.y;
    const int32_t onCourse = memory.OnCourse(frame, forecast);
    // Against a fighter that is shooting back, keep up the fire; at a quiet
    // one far away, one blast at a time while closing in.
    const bool near = gx * gx + gy * gy < closeRange * closeRange;
    const bool shooting = frame - enemyFiredAt < activeFrames;
    if (onCourse >= (near || shooting ? 3 : 1)) {
        *found = true;
        return false;
    }
    int32_t ki = own.ki + 1;
    AimChoice best = BestAim(MakeSetup(ki), forecast, aimSpread);
    const int32_t finisher = FinisherKi();
    if (finisher > ki) {
        // Only at a target it can count on: one holding still, met soon.
        const AimChoice big = BestAim(MakeSetup(finisher), forecast, aimSpread);
        if (big.outcome.hits && forecast.still && big.outcome.hitIn <= finisher + finisherFlight) {
            ki = finisher;
            best = big;
        }
    }
    if (!best.outcome.hits) {
        return false;
    }
    const int32_t range = forecast.still ? forecastFrames : movingShotFrames;
    if (best.outcome.hitIn > range) {
        return false;
    }
    const int32_t chargeFrames = ki - own.ki;
    const AimSteer steer = SteerAim(own.aim, own.facing, own.turnCooldown, best.aim);
    if (steer.frames <= chargeFrames) {
        shot = ShotPlan();
        shot.active = true;
        shot.ki = ki;
        shot.startedAt = frame;
        shot.enemyDeaths = Now().fighters[other].deaths;
        const int32_t error = traits.aimErrorDegrees / 3;
        shot.aimError = random.Between(-error, error) * 3;
        *controls = static_cast<uint8_t>(ControlCharge | steer.controls);
    } else {
        *controls = steer.controls;
    }
    return true;
}

bool ComputerPlayer::PathOpen(int32_t direction, int32_t steps) const {
    const Step step = FlightStep(direction);
    int32_t x = own.x;
    int32_t y = own.y;
    for (int32_t k = 0; k < steps; ++k) {
        x += step.x;
        y += step.y;
        if (!FighterFits(Now(), x, y)) {
            return false;
        }
    }
    return true;
}

uint8_t ComputerPlayer::Face(int32_t direction) const {
    return SteerAim(own.aim, own.facing, own.turnCooldown, NearestAim(direction)).controls;
}

uint8_t ComputerPlayer::FlyToward(int32_t direction, bool backward) {
    const int32_t aimFor = NearestAim(backward ? direction + 180 : direction);
    const AimSteer steer = SteerAim(own.aim, own.facing, own.turnCooldown, aimFor);
    uint8_t controls = steer.controls;
    const uint8_t facing =
        (controls & ControlTurn) != 0 ? static_cast<uint8_t>(1 - own.facing) : own.facing;
    const uint8_t wanted = backward ? MotionBackward : MotionForward;
    const uint8_t key = backward ? BackwardKey(facing) : ForwardKey(facing);
    if (own.motion == wanted) {
        return controls;
    }
    if (own.motion != MotionStopped) {
        // The other way: the same key halts first.
        return static_cast<uint8_t>(controls | key);
    }
    if (steer.frames > 2 || own.moveLock != 0) {
        return controls;
    }
    return static_cast<uint8_t>(controls | key);
}

uint8_t ComputerPlayer::Dig(int32_t direction) {
    // A small blast opens the way: a release of up to 4 ki costs no health,
    // and every blast digs its tunnel to the edge of the field.
    const int32_t aimFor = NearestAim(direction);
    const AimSteer steer = SteerAim(own.aim, own.facing, own.turnCooldown, aimFor);
    if (steer.frames <= 1 && own.ki + 1 <= MaxSafeKi() && own.ki + 1 <= freeKi) {
        shot = ShotPlan();
        shot.active = true;
        shot.dig = true;
        shot.digAim = aimFor;
        shot.ki = own.ki + 1;
        shot.startedAt = frame;
        shot.enemyDeaths = Now().fighters[other].deaths;
        return static_cast<uint8_t>(ControlCharge | steer.controls);
    }
    uint8_t controls = steer.controls;
    const uint8_t facing =
        (controls & ControlTurn) != 0 ? static_cast<uint8_t>(1 - own.facing) : own.facing;
    return static_cast<uint8_t>(controls | HaltKey(facing, own.motion));
}

uint8_t ComputerPlayer::Navigate(bool shotFound) {
    const Step me = OwnCentre();
    const Step them = forecast.centre[0];
    const int32_t dx = them.x - me.x;
    const int32_t dy = them.y - me.y;
    const auto distance = static_cast<int32_t>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
    const int32_t toward = DirectionOf(dx, dy);
    // In the last five columns or rows no flight step fits inside the field;
    // only a blast throws the fighter out, so it stands and fights.
    if (own.x > terrain.width * cellPixels - fighterSize ||
        own.y > terrain.height * cellPixels - fighterSize) {
        return Face(toward);
    }
    // Weak matters only against a fighter that fights: a quiet one is no danger.
    const bool dangerous = enemy.state == StateCharging || frame - enemyFiredAt < activeFrames;
    const bool weak = dangerous && own.health <= weakHealth && own.health < enemy.health;
    int32_t keep = weak ? weakDistance : fightDistance;
    // Nothing to aim at from here, and nothing coming from it: closer, unless
    // weak.
    if (!weak && !shotFound && enemy.state != StateCharging) {
        keep = nearDistance;
    }
    if (distance > keep + distanceSlack) {
        const int32_t course = NearestAim(toward);
        if (PathOpen(course, 3)) {
            return FlyToward(course, false);
        }
        return Dig(course);
    }
    if (weak && distance < keep - distanceSlack) {
        const int32_t away = WrapDegrees(toward + 180);
        for (const int32_t turn : {0, 30, -30, 60, -60, 90, -90}) {
            const int32_t course = NearestAim(away + turn);
            if (PathOpen(course, 3)) {
                return FlyToward(course, true);
            }
        }
        return Dig(away);
    }
    uint8_t controls = Face(toward);
    const uint8_t facing =
        (controls & ControlTurn) != 0 ? static_cast<uint8_t>(1 - own.facing) : own.facing;
    return static_cast<uint8_t>(controls | HaltKey(facing, own.motion));
}
