// The fighter sound switch: live playing through the game's buffers, and the
// matching of a re-run's sounds with those already heard.
#include "platform/fighter_sounds.h"

#include <cstdlib>

#include "platform/platform_objects.h"
#include "rules/fighter.h"
#include "rules/world_state.h"

FighterSounds fighterSounds;

namespace {

class BufferOutput : public FighterSoundOutput {
public:
    bool IsChargePlaying(uint8_t copy) override {
        return (copy == 1 ? chargeSoundA : chargeSoundB).IsPlaying(0);
    }
    void PlayCharge(uint8_t copy) override { (copy == 1 ? chargeSoundA : chargeSoundB).Play(); }
    void StopCharge(uint8_t copy) override { (copy == 1 ? chargeSoundA : chargeSoundB).StopAll(); }
    void PlayRelease(uint8_t firstPlayer) override {
        (firstPlayer == 1 ? blastSoundFirst : blastSoundSecond).Play();
    }
};

BufferOutput bufferOutput;

uint8_t IndexOf(const Fighter& fighter) {
    return fighter.firstPlayer == 1 ? 0 : 1;
}

}  // namespace

FighterSoundOutput& FighterSounds::Output() {
    return output != nullptr ? *output : bufferOutput;
}

void FighterSounds::StartLive(Fighter& fighter) {
    // Two copies of the charge sound let a second charge be heard while the
    // first one still plays.
    const uint8_t started = Output().IsChargePlaying(1) ? 2 : 1;
    copy[IndexOf(fighter)] = started;
    fighter.chargeSound = started;
    Output().PlayCharge(started);
}

void FighterSounds::Heard(int32_t frame, const FrameEvents& events) {
    currentFrame = frame;
    for (int32_t i = 0; i < events.count; ++i) {
        const FighterEvent& event = events.events[i];
        Fighter& fighter = fighters[event.fighter == 0 ? 0 : 1];
        switch (event.kind) {
            case FighterChargeBegan:
                StartCharge(fighter);
                break;
            case FighterReleased:
            case FighterFizzled:
                Release(fighter, event.kind == FighterReleased);
                break;
            default:
                // Hits are silent.
                break;
        }
    }
}

void FighterSounds::Reset() {
    FighterSoundOutput* kept = output;
    *this = FighterSounds();
    output = kept;
}

void FighterSounds::Silence() {
    Output().StopCharge(1);
    Output().StopCharge(2);
    Reset();
}

void FighterSounds::StartCharge(Fighter& fighter) {
    const uint8_t index = IndexOf(fighter);
    if (!rerunning) {
        StartLive(fighter);
        Note(index, EventChargeStart, currentFrame);
    } else if (!MatchDiscarded(index, EventChargeStart)) {
        // Decided when the re-run ends: the charge may be over by then. It is
        // noted only once it is heard.
        needStart[index] = true;
        startFrame[index] = currentFrame;
    }
}

void FighterSounds::Release(const Fighter& fighter, bool launched) {
    const uint8_t index = IndexOf(fighter);
    if (rerunning && MatchDiscarded(index, EventRelease)) {
        return;
    }
    if (rerunning && needStart[index]) {
        // The charge began and ended within the re-run: it was never heard.
        needStart[index] = false;
    } else {
        Output().StopCharge(CopyOf(index));
    }
    if (launched) {
        Output().PlayRelease(fighter.firstPlayer);
    }
    Note(index, EventRelease, currentFrame);
}

void FighterSounds::RerunBegins(int32_t fromFrame) {
    rerunning = true;
    needStart[0] = needStart[1] = false;
    for (int32_t i = 0; i < eventCount; ++i) {
        events[i].discarded = events[i].frame >= fromFrame;
    }
}

void FighterSounds::RerunEnds() {
    if (!rerunning) {
        return;
    }
    rerunning = false;
    int32_t kept = 0;
    for (int32_t i = 0; i < eventCount; ++i) {
        const Event& event = events[i];
        if (!event.discarded) {
            events[kept++] = event;
            continue;
        }
        // Heard for a frame the corrected run does not have it in.
        const Fighter& fighter = fighters[event.fighter];
        const bool charging = fighter.state == StateCharging;
        if (event.kind == EventChargeStart && !charging) {
            Output().StopCharge(CopyOf(event.fighter));
        } else if (event.kind == EventRelease && charging && !needStart[event.fighter]) {
            needStart[event.fighter] = true;
            startFrame[event.fighter] = currentFrame;
        }
    }
    eventCount = kept;
    for (uint8_t index = 0; index < 2; ++index) {
        if (needStart[index] && fighters[index].state == StateCharging) {
            StartLive(fighters[index]);
            Note(index, EventChargeStart, startFrame[index]);
        }
        needStart[index] = false;
    }
}

void FighterSounds::Note(uint8_t fighter, uint8_t kind, int32_t frame) {
    if (eventCount == eventCapacity) {
        // The oldest sound is long past any frame a rollback can reach.
        for (int32_t i = 1; i < eventCount; ++i) {
            events[i - 1] = events[i];
        }
        --eventCount;
    }
    events[eventCount++] = Event{frame, fighter, kind, false};
}

bool FighterSounds::MatchDiscarded(uint8_t fighter, uint8_t kind) {
    int32_t best = -1;
    for (int32_t i = 0; i < eventCount; ++i) {
        const Event& event = events[i];
        if (event.discarded && event.fighter == fighter && event.kind == kind &&
            (best < 0 ||
             std::abs(event.frame - currentFrame) < std::abs(events[best].frame - currentFrame))) {
            best = i;
        }
    }
    if (best < 0) {
        return false;
    }
    events[best].discarded = false;
    events[best].frame = currentFrame;
    return true;
}
