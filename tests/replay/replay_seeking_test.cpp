// A replay's restart and seeking (Home, Left and Right): wherever a seek
// lands, forward or back, paused or playing, held at either end, the world is
// the one playing straight to that frame makes (its rules digest), the
// statistics counted so far are too, nothing is heard on the way, and the
// digests passed are still compared.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/overlay_view.h"
#include "app/play_state.h"
#include "app/replay_playback.h"
#include "engine/display/screen.h"
#include "platform/fighter_sounds.h"
#include "platform/platform_objects.h"
#include "platform/set_up_world.h"
#include "rules/headless_world.h"
#include "rules/world_digest.h"
#include "settings/key_bindings.h"
#include "tests/app/scripted_match.h"
#include "tests/replay/replay_test_files.h"
#include "tests/rules/harness_script.h"

using namespace replaytest;

namespace {

// 25 seconds of fighting: room for two seeks of ten seconds and a clamp.
constexpr int32_t recordedFrames = 1500;
constexpr uint32_t seek = ReplayPlayback::seekFrames;

// Counts what the fighters' sounds would have played.
struct HeardCount : FighterSoundOutput {
    bool IsChargePlaying(uint8_t) override { return false; }
    void PlayCharge(uint8_t) override { ++played; }
    void StopCharge(uint8_t) override {}
    void PlayRelease(uint8_t) override { ++played; }
    int32_t played = 0;
};

class ReplaySeekingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(screen.SetMemoryMode(800, 600), 0);
        PrepareOverlays(DefaultKeyBindings());
        errors = std::tmpfile();
        ASSERT_NE(errors, nullptr);
        fighterSounds.SetOutput(&heard);
        const std::string file = folder.File("fight.kvr");
        ClearWorld();
        SetUpWorld();
        {
            ScriptedMatch match(file.c_str(), errors);
            PlayState state;
            for (int32_t frame = 0; frame < recordedFrames; ++frame) {
                match.Play(state, 0, FightingControls(0, frame), FightingControls(1, frame));
            }
            ASSERT_TRUE(match.match.Finish());
        }
        ASSERT_TRUE(playback.Load(file, errors)) << Written(errors);
        ASSERT_EQ(playback.FrameCount(), static_cast<uint32_t>(recordedFrames));

        // Played straight: the world's digest and the releases after every frame.
        playback.Start();
        straight.push_back(DigestRules());
        releases.push_back(0);
        PlayState state;
        while (!playback.Ended()) {
            ShowReplay(playback, state, 0);
            straight.push_back(DigestRules());
            releases.push_back(ReleasesSoFar());
        }
        ASSERT_FALSE(playback.OutOfSync());
        ASSERT_EQ(straight.size(), static_cast<size_t>(recordedFrames) + 1);
        ASSERT_GT(releases.back(), 5) << "the fight released no blasts to count";
        ASSERT_GT(heard.played, 0) << "played straight, the fight is heard";
    }
    void TearDown() override {
        fighterSounds.SetOutput(nullptr);
        std::fclose(errors);
    }

    int32_t ReleasesSoFar() const {
        return playback.Stats().players[0].blastsReleased +
               playback.Stats().players[1].blastsReleased;
    }

    // The world and the counts stand where playing straight to frame puts them.
    void ExpectAt(uint32_t frame, const char* after) {
        EXPECT_EQ(playback.FramesPlayed(), frame) << after;
        ASSERT_LE(frame, static_cast<uint32_t>(recordedFrames)) << after;
        EXPECT_EQ(DigestRules(), straight[frame]) << after << ": at frame " << frame;
        EXPECT_EQ(ReleasesSoFar(), releases[frame]) << after;
    }

    FILE* errors = nullptr;
    ScratchFolder folder;
    HeardCount heard;
    ReplayPlayback playback;
    std::vector<uint64_t> straight;
    std::vector<int32_t> releases;
};

TEST_F(ReplaySeekingTest, EachSeekLandsOnTheWorldPlayedStraightToItsFrame) {
    playback.Start();
    PlayState state;
    for (int32_t k = 0; k < 100; ++k) {
        ShowReplay(playback, state, 0);
    }
    ExpectAt(100, "100 frames played");
    // Each seek acts once and shows the frame it lands on, silently, without
    // stepping further; the frames after it play on from there. A seek that
    // cannot move (back at the start) leaves the replay playing.
    struct Step {
        uint32_t commands;
        uint32_t frame;
        const char* what;
    };
    constexpr uint32_t seeks = ReplayCommandRestart | ReplayCommandBack | ReplayCommandAhead;
    const Step steps[] = {
        {ReplayCommandAhead, 100 + seek, "ahead"},
        {0, 101 + seek, "the frame after"},
        {ReplayCommandAhead, 101 + 2 * seek, "ahead again"},
        {ReplayCommandAhead, recordedFrames, "ahead past the end, held to it"},
        {ReplayCommandAhead, recordedFrames, "ahead at the end"},
        {ReplayCommandBack, recordedFrames - seek, "back from the end"},
        {ReplayCommandFaster, recordedFrames - seek + 2, "on at 2x"},
        {ReplayCommandBack, recordedFrames - 2 * seek + 2, "back again"},
        {ReplayCommandBack, 0, "back past the start, held to it"},
        {ReplayCommandBack, 2, "back at the start"},
        {0, 4, "on at 2x"},
        {ReplayCommandAhead | ReplayCommandSlower, 4 + seek, "ahead and slower at once"},
        {0, 5 + seek, "on at 1x"},
        {ReplayCommandRestart, 0, "the restart"},
        {0, 1, "on from the restart"},
    };
    for (const Step& step : steps) {
        heard.played = 0;
        ShowReplay(playback, state, step.commands);
        ExpectAt(step.frame, step.what);
        EXPECT_EQ(playback.Ended(), step.frame == recordedFrames) << step.what;
        EXPECT_FALSE(playback.OutOfSync()) << step.what;
        if ((step.commands & seeks) != 0 && step.frame != 2) {
            EXPECT_EQ(heard.played, 0) << step.what << ": the frames passed were heard";
        }
    }
    // Straight to any frame at all, either way.
    for (const uint32_t frame : {777u, 12u, 1499u, 0u, 1500u, 5000u, 3u}) {
        playback.SeekTo(frame);
        ExpectAt(frame < 1500u ? frame : 1500u, "SeekTo");
    }
}

TEST_F(ReplaySeekingTest, AStoppedReplaySeeksAndStaysStopped) {
    playback.Start();
    PlayState state;
    ShowReplay(playback, state, 0);
    ShowReplay(playback, state, CommandPause);
    ExpectAt(1, "paused");
    ShowReplay(playback, state, ReplayCommandAhead);
    ExpectAt(1 + seek, "ahead while paused");
    for (int32_t k = 0; k < 5; ++k) {
        ShowReplay(playback, state, 0);
    }
    ExpectAt(1 + seek, "still paused");
    ShowReplay(playback, state, CommandHelp);
    ShowReplay(playback, state, ReplayCommandBack);
    ExpectAt(1, "back with the help shown");
    ShowReplay(playback, state, CommandHelp);
    ExpectAt(1, "the help closed, still paused");
    ShowReplay(playback, state, CommandPause);
    ExpectAt(2, "playing again");
    // At the end the picture holds; back from there plays on.
    playback.SeekTo(recordedFrames);
    ShowReplay(playback, state, 0);
    EXPECT_TRUE(playback.Ended());
    ShowReplay(playback, state, ReplayCommandBack);
    EXPECT_FALSE(playback.Ended());
    ShowReplay(playback, state, 0);
    ExpectAt(recordedFrames - seek + 1, "back from the held end");
}

// The digests of the frames a seek passes are compared: it stops at the
// first that differs, goes no further ahead of it, and back before it plays
// as recorded again.
TEST_F(ReplaySeekingTest, ASeekStopsAtADigestThatDiffers) {
    Replay replay;
    ASSERT_EQ(LoadReplayFile(folder.File("fight.kvr"), replay).status, ReplayReadWhole);
    replay.digests[5] ^= 1;  // the digest after frame 360
    playback.Use(replay);
    playback.Start();
    EXPECT_TRUE(playback.SeekTo(seek));
    EXPECT_TRUE(playback.OutOfSync());
    EXPECT_EQ(playback.OutOfSyncFrame(), 360u);
    EXPECT_EQ(playback.FramesPlayed(), 360u);
    EXPECT_FALSE(playback.SeekTo(2 * seek));
    EXPECT_EQ(playback.FramesPlayed(), 360u);
    EXPECT_TRUE(playback.SeekTo(200));
    EXPECT_FALSE(playback.OutOfSync());
    ExpectAt(200, "back before the difference");
}

}  // namespace
