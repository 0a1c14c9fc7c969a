// PlayFrame: the rules and the picture of one frame, with the comforts.
#include "game/play_frame.h"

#include "game/game_objects.h"
#include "game/game_view.h"
#include "game/match_recorder.h"
#include "game/overlay_view.h"
#include "game/world_digest.h"
#include "game/world_step.h"

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
