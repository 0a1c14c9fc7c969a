// PlayFrame: the rules and the picture of one frame, with the comforts.
#include "app/play_frame.h"

#include "app/game_view.h"
#include "app/match.h"
#include "app/overlay_view.h"
#include "platform/platform_objects.h"

uint32_t ApplyComforts(PlayState& state, uint32_t commands) {
    const uint32_t changes = state.Apply(commands);
    if ((changes & PlayChangeSound) != 0) {
        soundDevice.SetMasterVolume(state.volume, state.muted);
    }
    return changes;
}

void PlayFrame(const PlayState& state, uint32_t changes, Match& match, const char* pausedText) {
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
        match.Step();
        DrawFrame();
        DrawVolumeNote(state);
    } else if ((changes & (PlayChangeStopped | PlayChangeCover)) != 0) {
        DrawStoppedFrame(state, pausedText);
    }
}
