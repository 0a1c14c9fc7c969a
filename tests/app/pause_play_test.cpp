// Pausing changes nothing in the world: scripted play through PlayFrame, drawn
// headless, paused (by P, by F1's help, by a lost focus) with every key held
// and the volume changed meanwhile, ends in the same world, digest for
// digest, and on the same picture, pixel for pixel, as the same play without
// the pauses; and the play with no comfort in use draws exactly the frames of
// the plain loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/game_view.h"
#include "app/overlay_view.h"
#include "app/play_frame.h"
#include "app/play_state.h"
#include "engine/display/pixel_format.h"
#include "engine/display/screen.h"
#include "engine/display/surface.h"
#include "platform/platform_objects.h"
#include "rules/fighter.h"
#include "rules/headless_world.h"
#include "rules/world_digest.h"
#include "rules/world_step.h"
#include "settings/key_bindings.h"
#include "tests/app/scripted_match.h"
#include "tests/rules/harness_script.h"

namespace {

constexpr int32_t worldFrames = 1500;
constexpr int32_t digestEvery = 100;
constexpr uint8_t everyControl = 0x3F;

// The fighting script with long idle stretches, where the hover bob shows.
uint8_t ScriptedControls(int32_t player, int32_t frame) {
    const int32_t phase = frame + player * 23;
    return (phase / 300) % 2 == 1 ? 0 : FightingControls(player, frame);
}

// A stretch of frames in which the world stands still: the commands of its
// first frame stop it, those of its last frame let it go on.
struct Stop {
    int32_t atWorldFrame;
    uint32_t stopWith;
    int32_t frames;
    uint32_t resumeWith;
};

struct Outcome {
    std::vector<uint64_t> digests;
    std::vector<uint64_t> rulesDigests;
    std::vector<uint16_t> picture;
    bool frozenWhileStopped = true;
    int32_t blastsSeen = 0;
};

uint32_t FixedClock() {
    return 5000;
}

// Plain art: each dirt tile and fighter frame one solid colour of its own, so
// the views are full of pixels to dim and compare.
void EncodeSolid(RleSprite& sprite, int32_t side, uint16_t colour) {
    const std::vector<uint16_t> pixels(static_cast<size_t>(side) * side, colour);
    sprite.Bind(&screen, side, side);
    sprite.LoadFromPixels(pixels.data(), side, EncodingKeyed, 0x7C1F);
}

class PausePlay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(screen.SetMemoryMode(800, 600), 0);
        // The frame-rate text reads a clock; a fixed one draws the same text in every run.
        screen.clock = FixedClock;
        PrepareOverlays(DefaultKeyBindings());
        for (int32_t j = 0; j < dirtTileCount; ++j) {
            EncodeSolid(dirtTiles[j], dirtTileSide, static_cast<uint16_t>(0x4000 + 97 * j));
        }
        for (int32_t f = 0; f < firstFighterFrameCount; ++f) {
            EncodeSolid(firstFighterFrames[f], 48, static_cast<uint16_t>(0x0400 + f));
        }
        for (int32_t f = 0; f < secondFighterFrameCount; ++f) {
            EncodeSolid(secondFighterFrames[f], 48, static_cast<uint16_t>(0x0800 + f));
        }
    }

    static void Restart() {
        ResetHeadlessWorld();
        screen.lastSampleTime = 0;
        screen.frameCount = 0;
        screen.framesPerSecond = 0.0;
    }

    static std::vector<uint16_t> Picture() {
        const Surface& back = *screen.backSurface;
        std::vector<uint16_t> pixels(static_cast<size_t>(back.width) * back.height);
        for (int32_t y = 0; y < back.height; ++y) {
            std::memcpy(pixels.data() + static_cast<size_t>(y) * back.width,
                        static_cast<const uint8_t*>(back.pixels) + y * back.pitch,
                        static_cast<size_t>(back.width) * 2);
        }
        return pixels;
    }

    // Plays the script through PlayFrame, stopping where told; while stopped
    // every key of both players is held and the volume goes down and up.
    static Outcome Play(const std::vector<Stop>& stops) {
        Restart();
        ScriptedMatch match(nullptr, stderr, true);
        PlayState state;
        Outcome outcome;
        size_t nextStop = 0;
        int32_t frame = 0;
        while (frame < worldFrames) {
            if (nextStop < stops.size() && stops[nextStop].atWorldFrame == frame) {
                const Stop& stop = stops[nextStop++];
                std::vector<uint16_t> still;
                for (int32_t k = 0; k < stop.frames; ++k) {
                    uint32_t commands = k == 0 ? stop.stopWith : 0;
                    commands |= k == 10   ? uint32_t{CommandVolumeDown}
                                : k == 11 ? uint32_t{CommandVolumeUp}
                                          : 0u;
                    match.Play(state, commands, everyControl, everyControl);
                    EXPECT_FALSE(state.WorldRuns());
                    // Held keys change nothing on screen; only the note comes and goes.
                    if (k >= 12 && k < 12 + PlayState::noteFrames - 2) {
                        if (still.empty()) {
                            still = Picture();
                        } else if (Picture() != still) {
                            outcome.frozenWhileStopped = false;
                        }
                    }
                }
                match.Play(state, stop.resumeWith, ScriptedControls(0, frame),
                           ScriptedControls(1, frame));
                EXPECT_TRUE(state.WorldRuns());
            } else {
                match.Play(state, 0, ScriptedControls(0, frame), ScriptedControls(1, frame));
            }
            ++frame;
            outcome.blastsSeen = std::max(outcome.blastsSeen, blastCount);
            if (frame % digestEvery == 0) {
                outcome.digests.push_back(DigestWorld());
                outcome.rulesDigests.push_back(DigestRules());
            }
        }
        outcome.picture = Picture();
        return outcome;
    }
};

TEST_F(PausePlay, WithNothingInUseTheFramesAreThoseOfThePlainLoop) {
    Restart();
    std::vector<uint64_t> plain;
    for (int32_t frame = 0; frame < worldFrames; ++frame) {
        StepWorld(ScriptedControls(0, frame), ScriptedControls(1, frame));
        DrawFrame();
        if ((frame + 1) % digestEvery == 0) {
            plain.push_back(DigestWorld());
        }
    }
    const std::vector<uint16_t> plainPicture = Picture();
    const Outcome played = Play({});
    EXPECT_EQ(played.digests, plain);
    EXPECT_TRUE(played.picture == plainPicture);
    // The script fights: blasts fly. And the digest would tell a frame drawn
    // while stopped: drawing advances the fighters' animation counters.
    EXPECT_GT(played.blastsSeen, 1);
    const uint64_t before = DigestWorld();
    DrawFrame();
    EXPECT_NE(DigestWorld(), before);
}

TEST_F(PausePlay, PausesLeaveTheWorldAndThePictureAsWithout) {
    const Outcome straight = Play({});
    const Outcome paused = Play({
        {150, CommandPause, 90, CommandPause},
        {151, CommandHelp, 80, CommandHelp},
        {640, CommandFocusLost, 75, CommandPause},
        {641, CommandPause, 70, CommandPause},
        // The help over a pause, closed by P: the world goes on.
        {1200, CommandPause | CommandHelp, 80, CommandPause},
    });
    EXPECT_EQ(paused.digests, straight.digests);
    EXPECT_EQ(paused.rulesDigests, straight.rulesDigests);
    EXPECT_TRUE(paused.picture == straight.picture);
    EXPECT_TRUE(paused.frozenWhileStopped);
}

TEST_F(PausePlay, TheStoppedPictureIsDimmedAndCoveredThenTheGameReturns) {
    Restart();
    ScriptedMatch match(nullptr, stderr, true);
    PlayState state;
    for (int32_t frame = 0; frame < 100; ++frame) {
        match.Play(state, 0, ScriptedControls(0, frame), ScriptedControls(1, frame));
    }
    const std::vector<uint16_t> running = Picture();
    match.Play(state, CommandPause, 0, 0);
    const std::vector<uint16_t> paused = Picture();
    // A view pixel away from the middle is dimmed: every channel halved.
    int32_t dimmed = 0;
    int32_t lit = 0;
    for (int32_t y = 0; y < 200; ++y) {
        for (int32_t x = 0; x < 800; ++x) {
            const uint16_t before = running[y * 800 + x];
            if (before != 0) {
                ++lit;
                dimmed += paused[y * 800 + x] == ((before >> 1) & 0x3DEF) ||
                          paused[y * 800 + x] == ((before >> 1) & 0x7BEF);
            }
        }
    }
    ASSERT_GT(lit, 1000);
    EXPECT_EQ(dimmed, lit);
    // The panel is not dimmed; the pause line's box covers the middle.
    EXPECT_TRUE(std::equal(running.begin() + 400 * 800, running.begin() + 540 * 800,
                           paused.begin() + 400 * 800));
    const uint16_t frame = static_cast<uint16_t>(screen.pixelFormat->Pack(0x80, 0x80, 0x80));
    int32_t framePixels = 0;
    for (int32_t y = 250; y < 350; ++y) {
        for (int32_t x = 100; x < 700; ++x) {
            framePixels += paused[y * 800 + x] == frame;
        }
    }
    EXPECT_GT(framePixels, 2 * 400);
    // The help covers more of the screen than the pause line.
    match.Play(state, CommandHelp, 0, 0);
    const std::vector<uint16_t> help = Picture();
    int32_t helpChanged = 0;
    for (size_t i = 0; i < help.size(); ++i) {
        helpChanged += help[i] != paused[i];
    }
    EXPECT_GT(helpChanged, 30000);
}

}  // namespace
