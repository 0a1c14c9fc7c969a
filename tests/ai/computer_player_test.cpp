// The computer player as a control source: it reads the world and nothing
// more (no rules state changes while it thinks, the random sequence least of
// all), it is the same player for the same seed, and a match against it is
// the control bytes alone - replayed without it, they give the same world.
#include <gtest/gtest.h>

#include <vector>

#include "ai/computer_level.h"
#include "ai/computer_player.h"
#include "art/rules_world.h"
#include "rules/frame_controls.h"
#include "rules/next_random.h"
#include "rules/world_digest.h"
#include "rules/world_state.h"
#include "rules/world_step.h"

namespace {

TEST(ComputerLevelTest, ParsesTheThreeNamesAndNothingElse) {
    struct Case {
        const char* text;
        bool good;
        ComputerLevel level;
    };
    const Case cases[] = {
        {"easy", true, ComputerLevel::Easy},      {"normal", true, ComputerLevel::Normal},
        {"hard", true, ComputerLevel::Hard},      {"", false, ComputerLevel::Normal},
        {"Hard", false, ComputerLevel::Normal},   {"hard ", false, ComputerLevel::Normal},
        {"medium", false, ComputerLevel::Normal}, {"hardest", false, ComputerLevel::Normal},
    };
    for (const Case& c : cases) {
        ComputerLevel level = ComputerLevel::Normal;
        EXPECT_EQ(ParseComputerLevel(c.text, &level), c.good) << '"' << c.text << '"';
        EXPECT_EQ(level, c.level) << '"' << c.text << '"';
        if (c.good) {
            EXPECT_STREQ(ComputerLevelName(level), c.text);
        }
    }
}

TEST(ComputerLevelTest, HarderLevelsReactSoonerAndAimTruer) {
    const LevelTraits& easy = TraitsOf(ComputerLevel::Easy);
    const LevelTraits& normal = TraitsOf(ComputerLevel::Normal);
    const LevelTraits& hard = TraitsOf(ComputerLevel::Hard);
    EXPECT_LT(hard.reactionMost, normal.reactionLeast);
    EXPECT_LT(normal.reactionMost, easy.reactionLeast);
    EXPECT_LT(hard.aimErrorDegrees, normal.aimErrorDegrees);
    EXPECT_LT(normal.aimErrorDegrees, easy.aimErrorDegrees);
    EXPECT_LE(easy.reactionMost, 31) << "the player keeps 32 frames of what it saw";
}

// Plays `frames` frames of two computer players from the game's start and
// answers the bytes they pressed. With checkWorld, every frame checks that
// asking them changed nothing of the world: not a field of it (DigestWorld
// takes in every field) and not the random sequence.
std::vector<FrameControls> PlayMatch(ComputerLevel first, uint64_t firstSeed, ComputerLevel second,
                                     uint64_t secondSeed, int32_t frames, bool checkWorld = false) {
    SetUpRulesWorld();
    ComputerPlayer a(0, first, firstSeed);
    ComputerPlayer b(1, second, secondSeed);
    std::vector<FrameControls> played;
    for (int32_t frame = 0; frame < frames; ++frame) {
        const uint64_t world = checkWorld ? DigestWorld() : 0;
        const uint32_t random = RandomState();
        FrameControls controls;
        controls.first = a.Controls(frame);
        controls.second = b.Controls(frame);
        if ((checkWorld && DigestWorld() != world) || RandomState() != random) {
            ADD_FAILURE() << "asking for frame " << frame << "'s controls changed the world";
            return played;
        }
        StepWorld(controls.first, controls.second);
        played.push_back(controls);
    }
    return played;
}

TEST(ComputerPlayerTest, ReadsTheWorldWithoutChangingIt) {
    const std::vector<FrameControls> played =
        PlayMatch(ComputerLevel::Hard, 5, ComputerLevel::Easy, 6, 2400, true);
    ASSERT_EQ(played.size(), 2400u);
    // It played: both fighters pressed keys and somebody died.
    int32_t pressed[2] = {0, 0};
    for (const FrameControls& c : played) {
        pressed[0] += c.first != 0 ? 1 : 0;
        pressed[1] += c.second != 0 ? 1 : 0;
    }
    EXPECT_GT(pressed[0], 400);
    EXPECT_GT(pressed[1], 400);
    EXPECT_GT(fighters[0].deaths + fighters[1].deaths, 0);
}

TEST(ComputerPlayerTest, AMatchIsItsControlBytes) {
    const std::vector<FrameControls> played =
        PlayMatch(ComputerLevel::Normal, 11, ComputerLevel::Hard, 12, 5400);
    const uint64_t rules = DigestRules();
    const uint32_t random = RandomState();
    // The same bytes from the same start, with no player asked at all.
    SetUpRulesWorld();
    for (const FrameControls& c : played) {
        StepWorld(c.first, c.second);
    }
    EXPECT_EQ(DigestRules(), rules);
    EXPECT_EQ(RandomState(), random);
    // Deaths drew spawn points from the rules' sequence: it moved on, and only
    // the rules moved it.
    EXPECT_GT(fighters[0].deaths + fighters[1].deaths, 0);
}

TEST(ComputerPlayerTest, TheSameSeedPlaysTheSameBytes) {
    const std::vector<FrameControls> once =
        PlayMatch(ComputerLevel::Normal, 21, ComputerLevel::Easy, 22, 3000);
    const std::vector<FrameControls> again =
        PlayMatch(ComputerLevel::Normal, 21, ComputerLevel::Easy, 22, 3000);
    EXPECT_TRUE(once == again);
    const std::vector<FrameControls> other =
        PlayMatch(ComputerLevel::Normal, 23, ComputerLevel::Easy, 24, 3000);
    EXPECT_FALSE(once == other);
}

TEST(ComputerPlayerTest, PlaysEitherFighterAsItWasMadeFor) {
    const ComputerPlayer first(0, ComputerLevel::Hard, 1);
    const ComputerPlayer second(1, ComputerLevel::Easy, 1);
    EXPECT_EQ(first.FighterIndex(), 0);
    EXPECT_EQ(first.Level(), ComputerLevel::Hard);
    EXPECT_EQ(second.FighterIndex(), 1);
    EXPECT_EQ(second.Level(), ComputerLevel::Easy);
}

}  // namespace
