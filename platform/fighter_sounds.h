// FighterSounds: plays what the fighters are heard doing (frame_events.h).
// Live, it starts and stops the charge sound and plays the release sounds as
// each frame's events say; while frames are re-run after a rollback it lets no
// sound through twice.
#pragma once

#include <cstdint>

#include "rules/frame_events.h"

class Fighter;

// Where the sounds end up: the game's four sound buffers, unless a test puts
// its own record in their place. Charge copy 1 is chargeSoundA, 2 chargeSoundB.
class FighterSoundOutput {
public:
    virtual ~FighterSoundOutput() = default;
    virtual bool IsChargePlaying(uint8_t copy) = 0;
    virtual void PlayCharge(uint8_t copy) = 0;
    virtual void StopCharge(uint8_t copy) = 0;
    // firstPlayer as in Fighter: 1 for the first fighter's release sound.
    virtual void PlayRelease(uint8_t firstPlayer) = 0;
};

// Every sound a frame made is noted with the frame's number. A re-run (after a
// rollback restored an earlier frame) is matched against what was heard for
// the frames it covers:
// - a charge start or a release the earlier run already sounded is not
//   repeated, even when the corrected run has it a frame or two apart;
// - a release only the corrected run has is heard now, late by the re-run's
//   length at most, and stops the charge sound as a release does;
// - at the end of the re-run the charge sound follows the corrected state: it
//   starts when the fighter is charging and its charge was never heard (or a
//   release heard in the discarded run cut it), and it stops when a charge
//   was heard that the corrected run does not have.
// A charge sound that outlives its charge by the rules (a fighter thrown while
// charging; a charge longer than the sound) is left alone, as in live play.
//
// The copy of the charge sound each fighter started is kept here, and noted in
// the fighter's chargeSound when it is started live.
class FighterSounds : public FrameEventListener {
public:
    FighterSounds() = default;
    FighterSounds(const FighterSounds&) = default;
    FighterSounds& operator=(const FighterSounds&) = default;
    ~FighterSounds() override = default;

    // The events of world frame `frame`, just stepped, played in their order.
    void Heard(int32_t frame, const FrameEvents& events) override;
    // Frames from fromFrame on are about to be run again.
    void RerunBegins(int32_t fromFrame) override;
    // The re-run reached the present: reconcile the charge sounds with the
    // fighters' corrected states, and go back to live playing.
    void RerunEnds() override;
    bool Rerunning() const { return rerunning; }

    // A new match: nothing heard yet, no copy started.
    void Reset();
    // The world jumped to another frame (a replay seeking): both charge
    // sounds stop, and nothing counts as heard, as at a new match.
    void Silence();

    // Null restores the game's sound buffers.
    void SetOutput(FighterSoundOutput* replacement) { output = replacement; }

private:
    enum EventKind : uint8_t { EventChargeStart, EventRelease };
    struct Event {
        int32_t frame;
        uint8_t fighter;  // 0: first fighter, 1: second
        uint8_t kind;
        bool discarded;  // heard in a run that is being re-run, not yet matched
    };
    static constexpr int32_t eventCapacity = 64;

    FighterSoundOutput& Output();
    // A charge begins; a charge ends in a release (launched is false when the
    // pool was full and the blast fizzled).
    void StartCharge(Fighter& fighter);
    void Release(const Fighter& fighter, bool launched);
    // The copy a release stops: the one this fighter started last.
    uint8_t CopyOf(uint8_t index) const { return copy[index] == 1 ? 1 : 2; }
    void StartLive(Fighter& fighter);
    void Note(uint8_t fighter, uint8_t kind, int32_t frame);
    // Matches a re-run's sound with one heard in the discarded run; true when
    // found (it is then the corrected run's, at this frame).
    bool MatchDiscarded(uint8_t fighter, uint8_t kind);

    FighterSoundOutput* output = nullptr;
    Event events[eventCapacity] = {};
    int32_t eventCount = 0;
    int32_t currentFrame = 0;
    bool rerunning = false;
    // A charge that must be heard once the re-run ends, and the frame it began.
    bool needStart[2] = {false, false};
    int32_t startFrame[2] = {0, 0};
    uint8_t copy[2] = {0, 0};  // the charge sound's copy each fighter started last
};

extern FighterSounds fighterSounds;
