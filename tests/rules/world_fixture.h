// A clean world for rule tests: an empty (dug out) 400 x 400 field, the disc
// blast shapes, an empty blast pool and two freshly profiled fighters.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "rules/blast_sprite_table.h"
#include "rules/headless_world.h"
#include "rules/next_random.h"
#include "rules/world_state.h"

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRandom();
        BuildBlastShapes();
        FillBlastSpriteTable();
        terrain.Generate(400, 400);
        std::memset(terrain.cells, 0, 400 * 400);
        blastCount = 0;
        for (KiBlast& blast : blasts) {
            blast = KiBlast();
        }
        for (Fighter& fighter : fighters) {
            fighter = Fighter();
        }
        fighters[0].SetProfile(1);
        fighters[1].SetProfile(2);
    }

    // A fighter at full health, halted at (x, y), as after a spawn.
    static Fighter& Place(int index, int32_t x, int32_t y) {
        Fighter& f = fighters[index];
        f.health = 100;
        f.x = x;
        f.y = y;
        f.UpdateCamera();
        return f;
    }

    static void Dirt(int32_t column, int32_t row) { terrain.cells[row * 400 + column] = 1; }
    static uint8_t Cell(int32_t column, int32_t row) { return terrain.cells[row * 400 + column]; }

    static KiBlast& AddBlast(int32_t x, int32_t y, uint8_t size, uint8_t shooter,
                             uint8_t power = 40, int32_t vx = 0, int32_t vy = 0) {
        KiBlast& b = blasts[blastCount++];
        b.x = x;
        b.y = y;
        b.size = size;
        b.shooter = shooter;
        b.power = power;
        b.vx = vx;
        b.vy = vy;
        return b;
    }
};
