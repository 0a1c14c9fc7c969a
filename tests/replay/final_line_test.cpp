// The final line's fields and their order, from a world set by hand.
#include <gtest/gtest.h>

#include "replay/final_line.h"
#include "rules/world_state.h"

namespace {

TEST(FinalLine, GivesFrameBothFightersAndTheBlastsInOrder) {
    fighters[0].x = 1;
    fighters[0].y = 2;
    fighters[0].state = StateKnockedBack;  // 9
    fighters[0].health = -4;
    fighters[0].ki = 5;
    fighters[0].deaths = 6;
    fighters[1].x = 3200;
    fighters[1].y = 8;
    fighters[1].state = StateCharging;  // 11
    fighters[1].health = 100;
    fighters[1].ki = 11;
    fighters[1].deaths = 12;
    blastCount = 13;
    EXPECT_EQ(FinalLine(4294967294u), "final: 4294967294 1 2 9 -4 5 6 3200 8 11 100 11 12 13");
    blastCount = 0;
}

}  // namespace
