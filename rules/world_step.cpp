// One frame of the rules: fighters, blasts, cameras, in that order.
#include "rules/world_step.h"

#include "rules/blast_pool.h"
#include "rules/world_state.h"

void StepWorld(uint8_t firstControls, uint8_t secondControls) {
    frameEvents.Clear();
    // The first fighter's new blast meets the second fighter still at its launch
    // point; the second fighter's meets the first only next frame, after a move.
    fighters[0].Update(firstControls);
    fighters[1].Update(secondControls);
    AdvanceBlasts();
    fighters[0].UpdateCamera();
    fighters[1].UpdateCamera();
}
