// A match recorded through the game's own frame (PlayFrame with a recorder,
// paused now and then) and played back through ReplayPlayback, drawn into a
// memory screen: the playback ends in the recorded world, steps at 1x, 2x
// and 4x, stands still while paused, stops at a digest that differs, and
// refuses files it cannot play with a line saying why.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/match.h"
#include "app/overlay_view.h"
#include "app/play_frame.h"
#include "app/play_state.h"
#include "app/replay_playback.h"
#include "art/art_digest.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "engine/display/window_messages.h"
#include "platform/platform_objects.h"
#include "platform/set_up_world.h"
#include "replay/match_recorder.h"
#include "rules/fighter.h"
#include "rules/headless_world.h"
#include "rules/script_controls.h"
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

// One pixel of the back surface.
uint16_t BackPixel(int32_t x, int32_t y) {
    Surface& back = *screen.backSurface;
    if (back.Lock() != 0) {
        return 0;
    }
    const uint16_t pixel =
        static_cast<const uint16_t*>(back.pixels)[static_cast<ptrdiff_t>(y) * back.pitch / 2 + x];
    back.Unlock();
    return pixel;
}

// A match under the rule "first to 1 kill" through the game's Match: the
// first fighter holds charge, so it releases full charges (100 ki, 20
// health each) until the fifth throws it and it dies; the second stays.
// Recorded into file; the summary its end screen showed.
MatchSummary PlayDecidedMatch(const std::string& file, int32_t mostFrames, FILE* errors) {
    ScriptControls first(std::vector<uint8_t>(3000, ControlCharge));
    ScriptControls second(std::vector<uint8_t>{});
    MatchSetup setup;
    setup.recordPath = file;
    setup.rule = MatchRule{MatchFirstToKills, 1};
    setup.silent = true;
    ClearWorld();
    Match match;
    match.Start(first, second, setup, errors);
    while (!match.Outcome().decided && match.Frame() < mostFrames) {
        match.Step();
    }
    const MatchSummary summary = SummariseWorld(match.Rule(), match.Frame(), match.Stats());
    match.Finish();
    return summary;
}

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
            EXPECT_STREQ(playback.Label(), "Replay 4\xD7 0:00");
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
        // A match without a rule (the endless one) ends on no summary.
        EXPECT_FALSE(playback.Decided());
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
    EXPECT_STREQ(playback.Label(), "Replay 0:00");
    PlayState state;
    ShowReplay(playback, state, ReplayCommandFaster);
    EXPECT_STREQ(playback.Label(), "Replay 2\xD7 0:00");
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

// The rule and the statistics come from the world and the control bytes, so
// the replay decides the match at its last frame with the match's summary,
// drawn over the held picture; seeking back undoes it, and to the end again
// brings it back the same.
TEST_F(ReplayPlaybackTest, AReplayOfADecidedMatchEndsOnItsSummary) {
    const std::string file = folder.File("decided.kvr");
    const MatchSummary played = PlayDecidedMatch(file, 3000, errors);
    ASSERT_TRUE(played.outcome.decided);
    EXPECT_EQ(played.outcome.winner, 1);
    EXPECT_EQ(played.kills[1], 1);
    EXPECT_EQ(played.deaths[0], 1);
    EXPECT_EQ(played.stats[0].blastsReleased, 5);
    EXPECT_EQ(played.stats[1].blastsReleased, 0);

    ReplayPlayback playback;
    ASSERT_TRUE(playback.Load(file, errors)) << Written(errors);
    EXPECT_EQ(playback.FrameCount(), static_cast<uint32_t>(played.frames));
    playback.SetFromMenu(true);
    playback.Start();
    PlayState state;
    for (int32_t pass = 0; pass < 2; ++pass) {
        ShowReplay(playback, state, ReplayCommandFaster | ReplayCommandFaster);
        for (int32_t k = 0; k < played.frames && !playback.Ended(); ++k) {
            ShowReplay(playback, state, 0);
        }
        ASSERT_TRUE(playback.Ended());
        EXPECT_FALSE(playback.OutOfSync());
        ASSERT_TRUE(playback.Decided());
        const MatchSummary& shown = playback.Summary();
        EXPECT_EQ(shown.rule, played.rule);
        EXPECT_EQ(shown.outcome.winner, played.outcome.winner);
        EXPECT_EQ(shown.frames, played.frames);
        for (int32_t player = 0; player < 2; ++player) {
            EXPECT_EQ(shown.kills[player], played.kills[player]);
            EXPECT_EQ(shown.deaths[player], played.deaths[player]);
            EXPECT_EQ(shown.stats[player].blastsReleased, played.stats[player].blastsReleased);
            EXPECT_EQ(shown.stats[player].hitsLanded, played.stats[player].hitsLanded);
            EXPECT_EQ(shown.stats[player].damageDealt, played.stats[player].damageDealt);
        }
        EXPECT_STREQ(shown.names[0], "Left player");
        EXPECT_STREQ(shown.names[1], "Right player");
        EXPECT_STREQ(playback.EndLine(), "Replay ended \x97 Esc for the menu");
        // The summary's box is drawn: its grey frame at its left edge.
        EXPECT_EQ(BackPixel(130, 300), screen.pixelFormat->Pack(0x80, 0x80, 0x80));
        // Back a little: no longer decided; the second pass plays to the end again.
        ShowReplay(playback, state, ReplayCommandBack);
        EXPECT_FALSE(playback.Ended());
        EXPECT_FALSE(playback.Decided());
    }

    // A match left before its rule decided it ends on the plain end line.
    const std::string left = folder.File("left.kvr");
    EXPECT_FALSE(PlayDecidedMatch(left, 300, errors).outcome.decided);
    ReplayPlayback unfinished;
    ASSERT_TRUE(unfinished.Load(left, errors));
    unfinished.Start();
    unfinished.SeekTo(300);
    EXPECT_TRUE(unfinished.Ended());
    EXPECT_FALSE(unfinished.Decided());
    ShowReplay(unfinished, state, 0);
    EXPECT_NE(BackPixel(130, 300), screen.pixelFormat->Pack(0x80, 0x80, 0x80));
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
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_HOME, 0), uint32_t{ReplayCommandRestart});
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_LEFT, 0), uint32_t{ReplayCommandBack});
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_RIGHT, 0), uint32_t{ReplayCommandAhead});
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_RETURN, 0), uint32_t{ReplayCommandLeave});
    // A held key's repeats and key-ups do nothing (a held arrow does not seek
    // on and on); a player's key is no command, nor is Alt+Enter's Enter.
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_OEM_6, KeyRepeatBit), 0u);
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_RIGHT, KeyRepeatBit), 0u);
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYUP, VK_SPACE, 0), 0u);
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_UP, 0), 0u);
    EXPECT_EQ(ReplayCommandsFromMessage(WM_KEYDOWN, VK_A + ('W' - 'A'), 0), 0u);
    EXPECT_EQ(ReplayCommandsFromMessage(WM_SYSKEYDOWN, VK_RETURN, 0), uint32_t{CommandWindowMode});
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
