// Match: set-up, frames and the replay of one match.
#include "app/match.h"

#include "art/art_digest.h"
#include "platform/fighter_sounds.h"
#include "platform/platform_objects.h"
#include "platform/set_up_world.h"
#include "rules/world_digest.h"
#include "rules/world_state.h"
#include "rules/world_step.h"

void Match::Start(ControlSource& first, ControlSource& second, const MatchSetup& setup,
                  FILE* errors) {
    Finish();
    if (setup.setUpWorld) {
        SetUpWorld();
    }
    fighterSounds.Reset();
    players[0] = &first;
    players[1] = &second;
    rule = setup.rule;
    silent = setup.silent;
    stats.Reset();
    outcome = MatchOutcome();
    frame = 0;
    running = true;
    if (setup.record) {
        // The replay keeps the rule, so that it ends where the match did.
        MatchInfo info = setup.info;
        info.rule = setup.rule;
        recorder.Start(setup.recordPath, ArtDigest(), errors, info);
    }
}

void Match::Step() {
    if (outcome.decided) {
        return;
    }
    const uint8_t first = players[0]->Controls(frame);
    const uint8_t second = players[1]->Controls(frame);
    StepWorld(first, second);
    if (!silent) {
        fighterSounds.Heard(frame, frameEvents);
    }
    stats.Note(frameEvents);
    recorder.RecordFrame(first, second, DigestRules);
    ++frame;
    outcome = DecideMatch(rule, frame, fighters);
}

bool Match::Finish() {
    if (!running) {
        return false;
    }
    running = false;
    return recorder.Recording() && recorder.Finish(DigestRules());
}
