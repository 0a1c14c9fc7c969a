// ReplayPlayback: the file read and checked before the window opens, then the
// frames stepped at the chosen speed (or silently, to a frame sought), the
// digests compared, the statistics counted, the picture drawn or held.
#include "app/replay_playback.h"

#include <cinttypes>

#include "app/game_view.h"
#include "app/match_summary_view.h"
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
        case VK_HOME:
            commands |= ReplayCommandRestart;
            break;
        case VK_LEFT:
            commands |= ReplayCommandBack;
            break;
        case VK_RIGHT:
            commands |= ReplayCommandAhead;
            break;
        case VK_RETURN:
            commands |= ReplayCommandLeave;
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
    const char* leave = toMenu ? "Esc for the menu" : "Esc to quit";
    std::snprintf(pauseLine, sizeof pauseLine, "Paused \x97 P to continue, %s", leave);
    speed = 1;
    holding = false;
    Rewind();
}

// The world as a game just started has it, whatever ran in it before (Load
// may have read the blast shapes into it), and nothing played or heard yet.
void ReplayPlayback::Rewind() {
    SetUpWorld();
    fighterSounds.Silence();
    nextFrame = 0;
    nextDigest = 0;
    ended = false;
    outOfSync = false;
    outOfSyncFrame = 0;
    decided = false;
    stats.Reset();
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

void ReplayPlayback::StepOnce(bool heard) {
    const auto frame = static_cast<int32_t>(nextFrame++);
    StepWorld(players[0].Controls(frame), players[1].Controls(frame));
    if (heard) {
        fighterSounds.Heard(frame, frameEvents);
    }
    stats.Note(frameEvents);
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

bool ReplayPlayback::SeekTo(uint32_t frame) {
    const size_t target = frame < replay.frames.size() ? frame : replay.frames.size();
    if (target == nextFrame || (outOfSync && target > nextFrame)) {
        // Past a digest that differed the world is no longer the recorded one.
        return false;
    }
    if (target < nextFrame) {
        Rewind();
    }
    while (!ended && nextFrame < target) {
        StepOnce(false);
    }
    fighterSounds.Silence();
    SetLabel();
    return true;
}

int64_t ReplayPlayback::SeekTarget(uint32_t commands) const {
    const auto at = static_cast<int64_t>(nextFrame);
    if ((commands & ReplayCommandRestart) != 0) {
        return 0;
    }
    if ((commands & ReplayCommandBack) != 0) {
        return at > int64_t{seekFrames} ? at - int64_t{seekFrames} : 0;
    }
    if ((commands & ReplayCommandAhead) != 0) {
        return at + int64_t{seekFrames};
    }
    return -1;
}

void ReplayPlayback::EndHere() {
    ended = true;
    std::snprintf(endLine, sizeof endLine, "Replay ended \x97 %s",
                  toMenu ? "Esc for the menu" : "Esc to quit");
    // A replay of a match that its rule decided ends where the match did.
    const MatchRule& rule = replay.header.match.rule;
    const auto frames = static_cast<int32_t>(nextFrame);
    decided = DecideMatch(rule, frames, fighters).decided;
    if (decided) {
        summary = SummariseWorld(rule, frames, stats);
        NameReplayPlayers(replay.header.match, summary);
    }
}

void ReplayPlayback::SetLabel() {
    const int32_t seconds = static_cast<int32_t>(nextFrame / worldFramesPerSecond);
    labelSeconds = seconds;
    if (speed == 1) {
        std::snprintf(label, sizeof label, "Replay %d:%02d", seconds / 60, seconds % 60);
    } else {
        // 0xD7 is the multiplication sign in Windows-1252.
        std::snprintf(label, sizeof label, "Replay %d\xD7 %d:%02d", speed, seconds / 60,
                      seconds % 60);
    }
}

void ReplayPlayback::DrawLabel() const {
    DrawPanelCornerText(label);
}

void ReplayPlayback::DrawCovered(const PlayState& state) const {
    Surface* back = screen.backSurface;
    if (ended && decided && !state.helpShown && back != nullptr) {
        DrawMatchSummary(*back, summary, endLine);
        DrawVolumeNote(state);
        return;
    }
    DrawStoppedFrame(state, ended ? endLine : pauseLine);
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
    // A seek shows the frame it lands on, stepped no further this frame;
    // a held picture is held again from it.
    const int64_t target = SeekTarget(commands);
    const bool sought =
        target >= 0 && SeekTo(static_cast<uint32_t>(target < UINT32_MAX ? target : UINT32_MAX));
    if (state.WorldRuns() && !ended) {
        if (holding) {
            holding = false;
            soundDevice.PauseOutput(false);
            screen.RestartFrameRate();
        }
        for (int32_t k = 0; k < speed && !sought && !ended && nextFrame < replay.frames.size();
             ++k) {
            StepOnce(true);
        }
        if (static_cast<int32_t>(nextFrame / worldFramesPerSecond) != labelSeconds) {
            SetLabel();
        }
        DrawFrame();
        DrawVolumeNote(state);
        DrawLabel();
        if (!ended) {
            return;
        }
    } else if (sought || (!holding && nextFrame == 0)) {
        // Stopped before its first frame (a replay of no frames, or a pause
        // at once), or sought while stopped: the picture to keep is drawn.
        DrawFrame();
        holding = false;
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
