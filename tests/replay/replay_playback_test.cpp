// A match recorded through the game's own frame (PlayFrame with a recorder,
// paused now and then) and played back through ReplayPlayback, drawn into a
// memory screen: the playback ends in the recorded world, steps at 1x, 2x
// and 4x, stands still while paused, stops at a digest that differs, and
// refuses files it cannot play with a line saying why.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/overlay_view.h"
#include "app/play_frame.h"
#include "app/play_state.h"
#include "app/replay_playback.h"
#include "art/art_digest.h"
#include "engine/display/screen.h"
#include "engine/display/window_messages.h"
#include "platform/platform_objects.h"
#include "platform/set_up_world.h"
#include "replay/match_recorder.h"
#include "rules/fighter.h"
#include "rules/headless_world.h"
#include "rules/world_digest.h"
#include "settings/key_bindings.h"
#include "tests/app/scripted_match.h"
#include "tests/replay/replay_test_files.h"

using namespace replaytest;

namespace {

constexpr int32_t displayFrames = 400;
constexpr int32_t pausedFrames = 30;  // from display frame 100, and the help from 250

uint8_t ScriptedControls(int32_t player, int32_t frame) {
    const int32_t phase = frame + player * 23;
    uint8_t controls = (phase / 40) % 2 == 0 ? ControlUp : ControlDown;
    controls |= (phase / 90) % 3 == 0 ? ControlLeft : ControlRight;
    if (phase % (50 + player * 17) < 35) {
        controls |= ControlCharge;
    }
    return controls;
}

class ReplayPlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(screen.SetMemoryMode(800, 600), 0);
        PrepareOverlays(DefaultKeyBindings());
        errors = std::tmpfile();
        ASSERT_NE(errors, nullptr);
    }
    void TearDown() override { std::fclose(errors); }

    // Plays displayFrames frames of the game through PlayFrame, paused for
    // a stretch and with the help shown for another, recording into file.
    // Answers the world's rules digest at the end.
    uint64_t RecordMatch(const std::string& file) {
        // A game starts from the world as the program starts with it.
        ClearWorld();
        SetUpWorld();
        ScriptedMatch match(file.c_str(), errors);
        EXPECT_TRUE(match.match.Recorder().Recording());
        PlayState state;
        for (int32_t frame = 0; frame < displayFrames; ++frame) {
            uint32_t commands = 0;
            if (frame == 100 || frame == 100 + pausedFrames) {
                commands = CommandPause;
            } else if (frame == 250 || frame == 250 + pausedFrames) {
                commands = CommandHelp;
            }
            match.Play(state, commands, ScriptedControls(0, frame), ScriptedControls(1, frame));
        }
        const uint64_t digest = DigestRules();
        EXPECT_TRUE(match.match.Finish());
        return digest;
    }

    FILE* errors = nullptr;
    ScratchFolder folder;
};

constexpr uint32_t recordedFrames = displayFrames - 2 * pausedFrames;

TEST_F(ReplayPlaybackTest, PlaysTheRecordedMatchToItsEndAtEachSpeed) {
    const std::string file = folder.File("match.kvr");
    const uint64_t endDigest = RecordMatch(file);
    ReplayPlayback playback;
    ASSERT_TRUE(playback.Load(file, errors)) << Written(errors);
    // Only the frames the world stepped were recorded.
    EXPECT_EQ(playback.FrameCount(), recordedFrames);

    for (const int32_t presses : {0, 1, 2}) {
        playback.Start();
        PlayState state;
        for (int32_t k = 0; k < presses; ++k) {
            ShowReplay(playback, state, ReplayCommandFaster);
        }
        // 1x, 2x, 4x; a press more at 4x stays there.
        EXPECT_EQ(playback.Speed(), 1 << presses);
        if (presses == 2) {
            ShowReplay(playback, state, ReplayCommandFaster);
            EXPECT_EQ(playback.Speed(), 4);
            EXPECT_STREQ(playback.Label(), "Replay 4\xD7");
        }
        const int32_t speed = playback.Speed();
        const uint32_t before = playback.FramesPlayed();
        ShowReplay(playback, state, 0);
        EXPECT_EQ(playback.FramesPlayed(), before + static_cast<uint32_t>(speed));

        int32_t shown = 0;
        while (!playback.Ended() && shown < 2 * displayFrames) {
            ShowReplay(playback, state, 0);
            ++shown;
        }
        EXPECT_TRUE(playback.Ended());
        EXPECT_FALSE(playback.OutOfSync()) << "at frame " << playback.OutOfSyncFrame();
        EXPECT_EQ(playback.FramesPlayed(), recordedFrames);
        EXPECT_EQ(DigestRules(), endDigest);
        EXPECT_STREQ(playback.EndLine(), "Replay ended \x97 Esc to quit");
        // The end holds: nothing more is stepped.
        ShowReplay(playback, state, CommandPause);
        ShowReplay(playback, state, CommandPause);
        EXPECT_EQ(playback.FramesPlayed(), recordedFrames);
    }
}

TEST_F(ReplayPlaybackTest, PauseHelpAndSlowerStepAsAsked) {
    const std::string file = folder.File("match.kvr");
    RecordMatch(file);
    ReplayPlayback playback;
    ASSERT_TRUE(playback.Load(file, errors)) << Written(errors);
    playback.Start();
    EXPECT_STREQ(playback.Label(), "Replay");
    PlayState state;
    ShowReplay(playback, state, ReplayCommandFaster);
    EXPECT_STREQ(playback.Label(), "Replay 2\xD7");
    EXPECT_EQ(playback.FramesPlayed(), 2u);
    ShowReplay(playback, state, CommandPause);
    for (int32_t k = 0; k < 10; ++k) {
        ShowReplay(playback, state, k == 5 ? uint32_t{ReplayCommandFaster} : 0u);
    }
    EXPECT_EQ(playback.FramesPlayed(), 2u);
    EXPECT_EQ(playback.Speed(), 4);  // the speed may be chosen while paused
    ShowReplay(playback, state, uint32_t{CommandPause} | ReplayCommandSlower);
    EXPECT_EQ(playback.FramesPlayed(), 4u);
    ShowReplay(playback, state, CommandHelp);
    ShowReplay(playback, state, 0);
    EXPECT_EQ(playback.FramesPlayed(), 4u);
    ShowReplay(playback, state, uint32_t{CommandHelp} | ReplayCommandSlower);
    EXPECT_EQ(playback.Speed(), 1);
    EXPECT_EQ(playback.FramesPlayed(), 5u);
}

TEST_F(ReplayPlaybackTest, StopsAtTheFirstDigestThatDiffers) {
    const std::string file = folder.File("match.kvr");
    RecordMatch(file);
    Replay replay;
    ASSERT_EQ(LoadReplayFile(file, replay).status, ReplayReadWhole);
    ASSERT_GE(replay.digests.size(), 3u);
    replay.digests[1] ^= 1;  // the digest after frame 120
    ReplayPlayback playback;
    playback.Use(replay);
    playback.Start();
    PlayState state;
    ShowReplay(playback, state, ReplayCommandFaster | ReplayCommandFaster);
    for (int32_t k = 0; k < displayFrames && !playback.Ended(); ++k) {
        ShowReplay(playback, state, 0);
    }
    EXPECT_TRUE(playback.OutOfSync());
    EXPECT_EQ(playback.OutOfSyncFrame(), 120u);
    EXPECT_EQ(playback.FramesPlayed(), 120u);
    EXPECT_STREQ(playback.EndLine(), "Replay out of sync at frame 120");
}

// A replay of no frames (a game quit at once) shows the start, held.
TEST_F(ReplayPlaybackTest, AReplayOfNoFramesEndsAtOnce) {
    ClearWorld();
    SetUpWorld();
    ReplayPlayback playback;
    Replay empty;
    empty.finished = true;
    empty.finalDigest = DigestRules();
    playback.Use(empty);
    playback.Start();
    PlayState state;
    ShowReplay(playback, state, ReplayCommandFaster);
    ShowReplay(playback, state, CommandPause);
    EXPECT_TRUE(playback.Ended());
    EXPECT_FALSE(playback.OutOfSync());
    EXPECT_EQ(playback.FramesPlayed(), 0u);
    EXPECT_STREQ(playback.EndLine(), "Replay ended \x97 Esc to quit");
}

TEST_F(ReplayPlaybackTest, KeysOfThePlaybackAreCommands) {
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_SPACE, 0), uint32_t{CommandPause});
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_A + ('P' - 'A'), 0), uint32_t{CommandPause});
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_OEM_6, 0), uint32_t{ReplayCommandFaster});
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_OEM_4, 0), uint32_t{ReplayCommandSlower});
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_F1, 0), uint32_t{CommandHelp});
    // A held key's repeats and key-ups do nothing; a player's key is no command.
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_OEM_6, KeyRepeatBit), 0u);
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYUP, VK_SPACE, 0), 0u);
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_LEFT, 0), 0u);
}

// Each refusal names the file and why; a file cut short is played up to its cut.
TEST_F(ReplayPlaybackTest, RefusesWhatItCannotPlayAndSaysWhy) {
    const std::string file = folder.File("match.kvr");
    RecordMatch(file);
    const std::vector<uint8_t> good = ReadBytes(file);
    struct Case {
        const char* name;
        size_t offset;
        uint8_t flip;
        bool plays;
        const char* said;
    };
    const Case cases[] = {
        {"magic", 0, 0x01, false, "not a replay"},
        {"art", replayArtOffset + 3, 0x10, false, "it was made with other art"},
        {"layout", replayLayoutOffset, 555 ^ 565, false, "pixel layout build of the game"},
        {"cut", 0, 0, true, "playing what it holds"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        if (c.flip != 0) {
            bytes[c.offset] ^= c.flip;
        } else {
            bytes.resize(bytes.size() - 50);
        }
        const std::string damaged = folder.File(std::string(c.name) + ".kvr");
        WriteBytes(damaged, bytes);
        std::FILE* said = std::tmpfile();
        ReplayPlayback playback;
        EXPECT_EQ(playback.Load(damaged, said), c.plays) << c.name;
        const std::string text = Written(said);
        std::fclose(said);
        EXPECT_NE(text.find("kivoro: "), std::string::npos) << text;
        EXPECT_NE(text.find(damaged), std::string::npos) << text;
        EXPECT_NE(text.find(c.said), std::string::npos) << c.name << ": " << text;
        EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line: " << text;
    }
    std::FILE* said = std::tmpfile();
    ReplayPlayback playback;
    EXPECT_FALSE(playback.Load(folder.File("missing.kvr"), said));
    EXPECT_NE(Written(said).find("cannot open it"), std::string::npos);
    std::fclose(said);
}

}  // namespace
