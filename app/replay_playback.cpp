// ReplayPlayback: the file read and checked before the window opens, then the
// frames stepped at the chosen speed, the digests compared, the picture drawn
// or held.
#include "app/replay_playback.h"

#include <cinttypes>

#include "app/game_view.h"
#include "app/overlay_view.h"
#include "art/art_digest.h"
#include "art/rules_world.h"
#include "engine/display/window_messages.h"
#include "engine/sound/sound_device.h"
#include "platform/fighter_sounds.h"
#include "platform/platform_objects.h"
#include "platform/set_up_world.h"
#include "rules/headless_world.h"
#include "rules/world_digest.h"
#include "rules/world_step.h"

uint32_t ReplayCommandsFromMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    uint32_t commands = CommandsFromMessage(message, wParam, lParam);
    if (message != WM_KEYDOWN || (lParam & KeyRepeatBit) != 0) {
        return commands;
    }
    switch (wParam) {
        case VK_SPACE:
            commands |= CommandPause;
            break;
        case VK_OEM_6:
            commands |= ReplayCommandFaster;
            break;
        case VK_OEM_4:
            commands |= ReplayCommandSlower;
            break;
        default:
            break;
    }
    return commands;
}

bool ReplayPlayback::Load(const std::string& path, FILE* errors) {
    Replay read;
    const ReplayReadResult result = LoadReplayFile(path, read);
    if (result.status == ReplayReadRefused) {
        std::fprintf(errors, "kivoro: cannot play %s: %s\n", path.c_str(), result.reason.c_str());
        return false;
    }
    const uint64_t artDigest = ArtLoaded() ? ArtDigest() : SetUpRulesWorld().artDigest;
    const std::string mismatch = ReplayMismatch(read.header, artDigest);
    if (!mismatch.empty()) {
        std::fprintf(errors, "kivoro: cannot play %s: it was %s\n", path.c_str(), mismatch.c_str());
        return false;
    }
    if (result.status == ReplayReadCutShort) {
        std::fprintf(errors, "kivoro: %s is %s; playing what it holds\n", path.c_str(),
                     result.reason.c_str());
    }
    replay = std::move(read);
    return true;
}

void ReplayPlayback::Start() {
    // The world as a game just started has it, whatever ran in it before
    // (Load may have read the blast shapes into it).
    SetUpWorld();
    fighterSounds.Reset();
    nextFrame = 0;
    nextDigest = 0;
    speed = 1;
    ended = false;
    outOfSync = false;
    outOfSyncFrame = 0;
    holding = false;
    endLine[0] = '\0';
    SetLabel();
    if (replay.frames.empty()) {
        if (replay.finished) {
            Compare(replay.finalDigest);
        }
        if (!ended) {
            EndHere();
        }
    }
}

void ReplayPlayback::Compare(uint64_t expected) {
    if (DigestRules() == expected) {
        return;
    }
    outOfSync = true;
    outOfSyncFrame = static_cast<uint32_t>(nextFrame);
    ended = true;
    std::snprintf(endLine, sizeof endLine, "Replay out of sync at frame %" PRIu32, outOfSyncFrame);
}

void ReplayPlayback::StepOnce() {
    const auto frame = static_cast<int32_t>(nextFrame++);
    StepWorld(players[0].Controls(frame), players[1].Controls(frame));
    fighterSounds.Heard(frame, frameEvents);
    if (ReplayDigestFollows(nextFrame) && nextDigest < replay.digests.size()) {
        Compare(replay.digests[nextDigest++]);
    }
    if (!ended && nextFrame == replay.frames.size()) {
        if (replay.finished) {
            Compare(replay.finalDigest);
        }
        if (!ended) {
            EndHere();
        }
    }
}

void ReplayPlayback::EndHere() {
    ended = true;
    std::snprintf(endLine, sizeof endLine, "Replay ended \x97 Esc to quit");
}

void ReplayPlayback::SetLabel() {
    if (speed == 1) {
        std::snprintf(label, sizeof label, "Replay");
    } else {
        // 0xD7 is the multiplication sign in Windows-1252.
        std::snprintf(label, sizeof label, "Replay %d\xD7", speed);
    }
}

void ReplayPlayback::DrawLabel() const {
    DrawPanelCornerText(label);
}

void ReplayPlayback::DrawCovered(const PlayState& state) const {
    DrawStoppedFrame(state, ended ? endLine : pausedLine);
    DrawLabel();
}

void ReplayPlayback::Frame(const PlayState& state, uint32_t commands, uint32_t changes) {
    const int32_t speedBefore = speed;
    if ((commands & ReplayCommandFaster) != 0 && speed < fastestSpeed) {
        speed *= 2;
    }
    if ((commands & ReplayCommandSlower) != 0 && speed > 1) {
        speed /= 2;
    }
    if (speed != speedBefore) {
        SetLabel();
    }
    if (state.WorldRuns() && !ended) {
        if (holding) {
            holding = false;
            soundDevice.PauseOutput(false);
            screen.RestartFrameRate();
        }
        for (int32_t k = 0; k < speed && !ended && nextFrame < replay.frames.size(); ++k) {
            StepOnce();
        }
        DrawFrame();
        DrawVolumeNote(state);
        DrawLabel();
        if (!ended) {
            return;
        }
    } else if (!holding && nextFrame == 0) {
        // Stopped before its first frame (a replay of no frames, or a pause
        // at once): there is no picture to keep yet, so draw the start.
        DrawFrame();
    }
    if (!holding) {
        // The sounds hold where they are, as the world does.
        holding = true;
        soundDevice.PauseOutput(true);
        HoldStoppedPicture();
        DrawCovered(state);
    } else if ((changes & (PlayChangeStopped | PlayChangeCover)) != 0 || speed != speedBefore) {
        DrawCovered(state);
    }
}
