// The sound switch when frames are re-run after a rollback: sounds already
// heard are not repeated, a release only the corrected run has is heard once,
// and the charge sound ends up following the corrected charge.
#include <gtest/gtest.h>

#include <vector>

#include "platform/fighter_sounds.h"
#include "rules/world_snapshot.h"
#include "rules/world_step.h"
#include "tests/rules/world_fixture.h"

namespace {

// What reached the speakers.
class SoundRecord : public FighterSoundOutput {
public:
    bool IsChargePlaying(uint8_t copy) override { return playing[copy]; }
    void PlayCharge(uint8_t copy) override {
        playing[copy] = true;
        ++chargeStarts;
    }
    void StopCharge(uint8_t copy) override {
        chargeStops += playing[copy] ? 1 : 0;
        playing[copy] = false;
    }
    void PlayRelease(uint8_t firstPlayer) override { ++releases[firstPlayer == 1 ? 0 : 1]; }

    bool playing[3] = {false, false, false};
    int chargeStarts = 0;
    int chargeStops = 0;
    int releases[2] = {0, 0};
};

class FighterSoundsTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        fighterSounds = FighterSounds();
        fighterSounds.SetOutput(&record);
        Place(0, 400, 400);
        Place(1, 2000, 2000);
        snapshot.AllocateForWorld();
    }
    void TearDown() override { fighterSounds = FighterSounds(); }

    // Frames from..from + n - 1 with the first fighter charging while charge(f).
    template <typename ChargeAt>
    void Run(int32_t from, int32_t n, ChargeAt charge) {
        for (int32_t f = from; f < from + n; ++f) {
            if (f == snapshotFrame) {
                snapshot.Take();
            }
            StepWorld(charge(f) ? ControlCharge : 0, 0);
            fighterSounds.Heard(f, frameEvents);
        }
    }
    // Back to snapshotFrame and on to frame end with the corrected inputs.
    template <typename ChargeAt>
    void Rerun(int32_t end, ChargeAt charge) {
        ASSERT_TRUE(snapshot.Restore());
        fighterSounds.RerunBegins(snapshotFrame);
        Run(snapshotFrame, end - snapshotFrame, charge);
        fighterSounds.RerunEnds();
    }

    SoundRecord record;
    WorldSnapshot snapshot;
    int32_t snapshotFrame = 8;
};

TEST_F(FighterSoundsTest, AReleaseHeardIsNotRepeatedEvenAFrameOrTwoLater) {
    // Charge from frame 0, release at 10; the rollback goes back to 8.
    Run(0, 14, [](int32_t f) { return f < 10; });
    ASSERT_EQ(record.releases[0], 1);
    ASSERT_EQ(record.chargeStarts, 1);
    ASSERT_EQ(record.chargeStops, 1);
    Rerun(14, [](int32_t f) { return f < 10; });
    Rerun(14, [](int32_t f) { return f < 12; });
    EXPECT_EQ(record.releases[0], 1);
    EXPECT_EQ(record.chargeStarts, 1);
    EXPECT_EQ(record.chargeStops, 1);
    // Live again: the next charge and release are heard as usual.
    Run(14, 150, [](int32_t f) { return f >= 100 && f < 120; });
    EXPECT_EQ(record.releases[0], 2);
    EXPECT_EQ(record.chargeStarts, 2);
}

TEST_F(FighterSoundsTest, AReleaseOnlyTheCorrectedRunHasIsHeardOnceAndStopsTheCharge) {
    // Predicted: charging on through frame 13. In truth: released at 10.
    Run(0, 14, [](int32_t) { return true; });
    ASSERT_TRUE(record.playing[1]);
    ASSERT_EQ(record.releases[0], 0);
    Rerun(14, [](int32_t f) { return f < 10; });
    EXPECT_EQ(record.releases[0], 1);
    EXPECT_FALSE(record.playing[1]);
    EXPECT_EQ(record.chargeStarts, 1);
    EXPECT_EQ(fighters[0].state, StateFiring);
}

TEST_F(FighterSoundsTest, AChargeTheCorrectedRunDoesNotHaveIsSilenced) {
    // Predicted: a charge from frame 9. In truth: no charge at all.
    Run(0, 14, [](int32_t f) { return f >= 9; });
    ASSERT_TRUE(record.playing[1]);
    Rerun(14, [](int32_t) { return false; });
    EXPECT_FALSE(record.playing[1]);
    EXPECT_EQ(record.chargeStarts, 1);
    EXPECT_EQ(record.releases[0], 0);
}

TEST_F(FighterSoundsTest, AChargeOnlyTheCorrectedRunHasStartsOnceWhenTheReRunEnds) {
    Run(0, 14, [](int32_t) { return false; });
    Rerun(14, [](int32_t f) { return f >= 9; });
    EXPECT_TRUE(record.playing[1]);
    EXPECT_EQ(record.chargeStarts, 1);
    // A second correction covering the same charge start does not restart it.
    Rerun(14, [](int32_t f) { return f >= 10; });
    EXPECT_EQ(record.chargeStarts, 1);
    // Charged and released inside a re-run: only the release is heard.
    Rerun(14, [](int32_t f) { return f == 9; });
    EXPECT_EQ(record.chargeStarts, 1);
    EXPECT_EQ(record.releases[0], 1);
    EXPECT_FALSE(record.playing[1]);
}

TEST_F(FighterSoundsTest, AChargeSoundThatOutlivesAThrownChargeIsLeftToPlay) {
    // The second fighter's blast reaches the charging first fighter in frame
    // 12: the charge ends in a throw, and its sound plays on, as in live play.
    AddBlast(fighters[0].x + 24 + 200, fighters[0].y + 24, 0, 1, 20, -15, 0);
    Run(0, 16, [](int32_t f) { return f <= 12; });
    ASSERT_EQ(fighters[0].state, StateKnockedBack);
    ASSERT_EQ(fighters[0].ki, 13);
    ASSERT_TRUE(record.playing[1]);
    Rerun(16, [](int32_t f) { return f <= 12; });
    EXPECT_TRUE(record.playing[1]);
    EXPECT_EQ(record.chargeStops, 0);
    EXPECT_EQ(record.chargeStarts, 1);
}

}  // namespace
