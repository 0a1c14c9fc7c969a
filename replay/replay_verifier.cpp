// The replay verifier: StepWorld frame by frame, DigestRules where the file
// keeps a digest, the fighters' deaths against the kills at the end.
#include "replay/replay_verifier.h"

#include "replay/final_line.h"
#include "rules/world_digest.h"
#include "rules/world_step.h"

namespace {

void Compare(ReplayCheck& check, uint64_t expected) {
    ++check.digestsChecked;
    const uint64_t actual = DigestRules();
    if (actual != expected && !check.diverged) {
        check.diverged = true;
        check.divergedAfter = check.framesRun;
        check.expectedDigest = expected;
        check.actualDigest = actual;
    }
}

}  // namespace

ReplayCheck VerifyReplay(const Replay& replay) {
    ReplayCheck check;
    size_t nextDigest = 0;
    for (const FrameControls& frame : replay.frames) {
        StepWorld(frame.first, frame.second);
        ++check.framesRun;
        if (ReplayDigestFollows(check.framesRun) && nextDigest < replay.digests.size()) {
            Compare(check, replay.digests[nextDigest++]);
        }
    }
    if (replay.finished) {
        Compare(check, replay.finalDigest);
        const WorldKills world = CountWorldKills();
        check.worldKills[0] = world.first;
        check.worldKills[1] = world.second;
        const uint32_t* kills = replay.header.kills;
        const bool known = kills[0] != replayKillsUnknown || kills[1] != replayKillsUnknown;
        check.killsDiffer = known && (kills[0] != world.first || kills[1] != world.second);
    }
    return check;
}
