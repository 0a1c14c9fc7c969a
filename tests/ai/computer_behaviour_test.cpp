// What the computer player does in the situations the rules make hard: it
// turns to face its target, leads a moving one, gets out of a blast's way,
// keeps away when weak, digs across the field, never pays its last health for
// a release, and fights on from the border strip where it cannot fly.
#include <gtest/gtest.h>

#include "ai/computer_player.h"
#include "art/rules_world.h"
#include "rules/world_step.h"
#include "tests/ai/ai_world.h"

namespace {

class ComputerBehaviourTest : public AiWorldTest {
protected:
    // Steps the world with the computer playing `side` and the other fighter
    // pressing `otherKeys`; counts the computer's releases and the ones that
    // cost it its last health.
    void Play(ComputerPlayer& player, int32_t frames, uint8_t otherKeys = 0) {
        const int32_t side = player.FighterIndex();
        for (int32_t frame = 0; frame < frames; ++frame) {
            const uint8_t mine = player.Controls(frame);
            pressed |= mine;
            const Fighter& f = fighters[side];
            const int32_t cost = f.ki / 5;
            const int32_t health = f.health;
            if (f.x > 3152 && (mine & (ControlLeft | ControlRight)) != 0) {
                ++flightKeysWhileStuck;
            }
            StepWorld(side == 0 ? mine : otherKeys, side == 0 ? otherKeys : mine);
            for (int32_t e = 0; e < frameEvents.count; ++e) {
                if (frameEvents.events[e].fighter == side &&
                    frameEvents.events[e].kind == FighterReleased) {
                    ++releases;
                    if (health > 0 && health <= cost) {
                        ++selfInflicted;
                    }
                }
            }
            distanceSum += CentreDistance();
        }
    }

    uint8_t pressed = 0;
    int32_t releases = 0;
    int32_t selfInflicted = 0;
    int32_t flightKeysWhileStuck = 0;
    int64_t distanceSum = 0;
};

TEST_F(ComputerBehaviourTest, TurnsToFaceItsTargetAndShootsAtIt) {
    struct Case {
        int side;
        int32_t targetX, targetY;
        uint8_t facing;  // the facing that looks at the target
    };
    const Case cases[] = {
        {0, 1200, 1600, 0}, {1, 1200, 1650, 0}, {0, 1900, 1500, 1}, {1, 2000, 1600, 1}};
    for (const Case& c : cases) {
        OpenField();
        Fighter& me = Place(c.side, 1600, 1600);
        me.facing = static_cast<uint8_t>(1 - c.facing);
        me.aim = me.facing == 1 ? 0 : 180;
        Place(1 - c.side, c.targetX, c.targetY);
        ComputerPlayer player(c.side, ComputerLevel::Hard, 1);
        releases = 0;
        Play(player, 60);
        EXPECT_EQ(fighters[c.side].facing, c.facing) << "side " << c.side << " x " << c.targetX;
        EXPECT_GT(releases, 0) << "side " << c.side << " x " << c.targetX;
        EXPECT_LT(fighters[1 - c.side].health + (fighters[1 - c.side].state == StateKnockedBack),
                  101)
            << "side " << c.side;
    }
}

TEST_F(ComputerBehaviourTest, LeadsATargetFlyingAcrossItsLine) {
    for (const int side : {0, 1}) {
        OpenField();
        Place(side, 1000, 1400);
        // The target flies straight down the field at 7 pixels a frame.
        Fighter& target = Place(1 - side, 1450, 900);
        target.facing = 1;
        target.aim = 90;
        target.motion = MotionForward;
        ComputerPlayer player(side, ComputerLevel::Hard, 2);
        int32_t hitAt = -1;
        for (int32_t frame = 0; frame < 120 && hitAt < 0; ++frame) {
            const uint8_t mine = player.Controls(frame);
            StepWorld(side == 0 ? mine : 0, side == 0 ? 0 : mine);
            if (target.state == StateKnockedBack) {
                hitAt = frame;
            }
        }
        EXPECT_GE(hitAt, 0) << "side " << side << ": the crossing target was never hit";
    }
}

TEST_F(ComputerBehaviourTest, GetsOutOfTheWayOfABlastComingAtIt) {
    struct Case {
        int32_t startX, startY, vx, vy;
    };
    // Big blasts (reach 43) from the left, the right, above and below at an
    // angle, each due in about 25 frames.
    const Case cases[] = {
        {1250, 1624, 15, 0}, {2000, 1620, -14, 0}, {1624, 1250, 0, 14}, {1370, 1880, 10, -10}};
    for (const int side : {0, 1}) {
        for (const Case& c : cases) {
            OpenField();
            Place(side, 1600, 1600);
            Place(1 - side, 600, 600);
            KiBlast& blast = blasts[blastCount++];
            blast = KiBlast();
            blast.x = c.startX;
            blast.y = c.startY;
            blast.vx = c.vx;
            blast.vy = c.vy;
            blast.size = 3;
            blast.power = 60;
            blast.shooter = static_cast<uint8_t>(1 - side);
            ComputerPlayer player(side, ComputerLevel::Hard, 3);
            Play(player, 45);
            EXPECT_EQ(fighters[side].health, 100)
                << "side " << side << ", blast from " << c.startX << "," << c.startY;
        }
    }
}

TEST_F(ComputerBehaviourTest, KeepsFurtherAwayWhenWeak) {
    int64_t average[2] = {0, 0};
    for (const int weak : {0, 1}) {
        OpenField();
        Place(1, 1600, 1600).health = weak ? 20 : 100;
        // The other fighter in a pocket of dirt: thrown, it crashes where it is.
        Dirt(1300, 1450, 1600, 1750);
        for (int32_t row = (1450 + 24) / 8 - 1; row <= (1450 + 24) / 8 + 1; ++row) {
            for (int32_t column = (1450 + 24) / 8 - 1; column <= (1450 + 24) / 8 + 1; ++column) {
                terrain.cells[row * 400 + column] = 0;
            }
        }
        // Health enough that it lives through the test, however it is hit; it
        // charges all along (aiming straight up, away), so it is a danger to
        // be kept from.
        Fighter& other = Place(0, 1450, 1450);
        other.health = 100000;
        other.aim = 270;
        ComputerPlayer player(1, ComputerLevel::Hard, 4);
        distanceSum = 0;
        Play(player, 250, ControlCharge);
        average[weak] = distanceSum / 250;
    }
    EXPECT_GT(average[1], average[0] + 100)
        << "weak " << average[1] << " px on average, healthy " << average[0];
}

TEST_F(ComputerBehaviourTest, NeverPaysItsLastHealthForARelease) {
    // Low health, some with a charge kept from before a hit that now costs
    // more than the health left; the other fighter close and still.
    struct Case {
        int32_t health;
        int32_t keptKi;
    };
    const Case cases[] = {{1, 0},  {2, 0},  {4, 0},   {10, 0}, {20, 0},
                          {21, 0}, {3, 40}, {10, 60}, {20, 99}};
    for (const ComputerLevel level :
         {ComputerLevel::Easy, ComputerLevel::Normal, ComputerLevel::Hard}) {
        for (const Case& c : cases) {
            OpenField();
            Fighter& me = Place(0, 1500, 1600);
            me.health = c.health;
            me.ki = c.keptKi;
            Place(1, 1750, 1600).health = 30;
            ComputerPlayer player(0, level, 5);
            selfInflicted = 0;
            Play(player, 1500);
            EXPECT_EQ(selfInflicted, 0) << ComputerLevelName(level) << " at health " << c.health;
            EXPECT_EQ(fighters[0].deaths, 0)
                << ComputerLevelName(level) << " at health " << c.health;
        }
    }
}

TEST_F(ComputerBehaviourTest, FightsFromTheBorderStripAndLeavesItWhenThrownOut) {
    // In the last five columns every flight step ends beyond the field's last
    // fighter column (3152): no flight key is wasted there, it turns and
    // shoots. From 3160 a blast from the right throws it back inside (from
    // 3168 on even that cannot, a blast moving at most 15 pixels a frame), and
    // from there it flies again.
    for (const int32_t x : {3192, 3176, 3160}) {
        OpenField();
        Fighter& me = Place(1, x, 1600);
        Place(0, 2700, 1620);
        ComputerPlayer player(1, ComputerLevel::Hard, 6);
        flightKeysWhileStuck = 0;
        releases = 0;
        Play(player, 200);
        EXPECT_EQ(flightKeysWhileStuck, 0) << x;
        EXPECT_EQ(me.x, x);
        EXPECT_EQ(me.facing, 0) << x;
        EXPECT_GT(releases, 0) << x;
        if (x != 3160) {
            continue;
        }
        KiBlast& blast = blasts[blastCount++];
        blast = KiBlast();
        // (A blast beyond 3200 has left the field.)
        blast.x = 3198;
        blast.y = me.y + 24;
        blast.vx = -14;
        blast.size = 0;
        blast.power = 2;
        blast.shooter = 0;
        Play(player, 300);
        EXPECT_LT(me.x, 3100);
    }
}

TEST_F(ComputerBehaviourTest, DigsAcrossTheFieldToTheOtherFighter) {
    for (const int side : {0, 1}) {
        SetUpRulesWorld();
        const int32_t start = CentreDistance();
        ComputerPlayer player(side, ComputerLevel::Hard, 7);
        Play(player, 900);
        EXPECT_GT(start, 2000);
        // Its blasts dug the way (a charge of 1 to 4 ki costs no health) and
        // it came within fighting range, or its blasts reached the other
        // fighter first.
        EXPECT_GT(releases, 3) << "side " << side;
        EXPECT_TRUE(CentreDistance() < 900 || fighters[1 - side].health < 100 ||
                    fighters[1 - side].deaths > 0)
            << "side " << side << " still " << CentreDistance() << " px away";
        EXPECT_EQ(fighters[side].health > 0 ? 0 : 1, 0);
        releases = 0;
    }
}

}  // namespace
