// PlayFrame: the rules and the picture of one frame, with the comforts.
#include "app/play_frame.h"

#include "platform/platform_objects.h"
#include "app/game_view.h"
#include "platform/fighter_sounds.h"
#include "replay/match_recorder.h"
#include "app/overlay_view.h"
#include "rules/world_digest.h"
#include "rules/world_step.h"

uint32_t PlayFrame(PlayState& state, uint32_t commands, uint8_t firstControls,
                   uint8_t secondControls, MatchRecorder* recorder) {
    const uint32_t changes = state.Apply(commands);
    if ((changes & PlayChangeSound) != 0) {
        soundDevice.SetMasterVolume(state.volume, state.muted);
    }
    if ((changes & PlayChangeStopped) != 0) {
        // The sounds hold where they are, as the world does.
        soundDevice.PauseOutput(true);
        HoldStoppedPicture();
    }
    if ((changes & PlayChangeResumed) != 0) {
        soundDevice.PauseOutput(false);
        screen.RestartFrameRate();
    }
    if (state.WorldRuns()) {
        StepWorld(firstControls, secondControls);
        fighterSounds.Heard(0, frameEvents);
        if (recorder != nullptr) {
            recorder->RecordFrame(firstControls, secondControls, DigestRules);
        }
        DrawFrame();
        DrawVolumeNote(state);
    } else if ((changes & (PlayChangeStopped | PlayChangeCover)) != 0) {
        DrawStoppedFrame(state);
    }
    return changes;
}
