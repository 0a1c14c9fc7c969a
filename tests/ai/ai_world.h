// A world for the computer player's tests: the 400 x 400 field, either dug
// out (an open field) or as the game starts it, the disc blast shapes, an
// empty blast pool and two profiled fighters placed where a test wants them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "rules/blast_sprite_table.h"
#include "rules/headless_world.h"
#include "rules/next_random.h"
#include "rules/world_state.h"

class AiWorldTest : public ::testing::Test {
protected:
    void SetUp() override { OpenField(); }

    // Every cell empty, both fighters at full health at the field's middle.
    static void OpenField() {
        ClearWorld();
        BuildBlastShapes();
        FillBlastSpriteTable();
        terrain.Generate(400, 400);
        std::memset(terrain.cells, 0, 400 * 400);
        fighters[0].SetProfile(1);
        fighters[1].SetProfile(2);
        Place(0, 1400, 1600);
        Place(1, 1800, 1600);
    }

    // A fighter at full health, halted, at top-left (x, y).
    static Fighter& Place(int index, int32_t x, int32_t y) {
        Fighter& f = fighters[index];
        f.health = 100;
        f.ki = 0;
        f.x = x;
        f.y = y;
        f.dx = 0;
        f.dy = 0;
        f.state = StateIdle;
        f.motion = MotionStopped;
        f.UpdateCamera();
        return f;
    }

    // Fills the cells of field pixels [x0, x1) x [y0, y1) with dirt.
    static void Dirt(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        for (int32_t row = y0 / 8; row < (y1 + 7) / 8; ++row) {
            for (int32_t column = x0 / 8; column < (x1 + 7) / 8; ++column) {
                terrain.cells[row * 400 + column] = 1;
            }
        }
    }

    static int32_t CentreDistance() {
        const int32_t dx = fighters[0].x - fighters[1].x;
        const int32_t dy = fighters[0].y - fighters[1].y;
        return static_cast<int32_t>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
    }
};
