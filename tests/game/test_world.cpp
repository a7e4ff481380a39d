// The world update: aim, spawning, ring colours, passing enemies and health, the round's end,
// shots, full lists, and the music pausing with Escape.
#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/frame_loop.h"
#include "game/update.h"
#include "game/world.h"
#include "gfx/pixels.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "support/headless.h"

namespace {

// One world step of ms, with no ring due during it unless asked.
void step(int ms, bool spawn = false) {
    spawnCountdown = spawn ? spawnCountdown : 1000000;
    frameMs = ms;
    updateWorld();
}

Ring* addRing(double radius, double x = 320.0, double y = 240.0) {
    return rings[ringCount++] = new Ring{x, y, radius, 0};
}

void addEnemy(Ring* ring, double x, double y) {
    enemies[enemyCount++] = new Enemy{x, y, 0.0, 0.0, ring};
}

class World : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(true); // the music too
        ASSERT_TRUE(startHeadless(32));
    }
};

TEST_F(World, AimFollowsTheActivePointerAFifteenthOfTheWayPerFrame) {
    pointerActive[0] = true;
    pointerX[0] = 640;
    pointerY[0] = 240;
    step(0);
    EXPECT_DOUBLE_EQ(aimX, 0.064);
    EXPECT_DOUBLE_EQ(aimY, 0.0);
    pointerActive[0] = false;
    pointerX[0] = pointerY[0] = 0;
    step(16);
    EXPECT_DOUBLE_EQ(aimX, 0.064);
    EXPECT_DOUBLE_EQ(aimY, 0.0);
}

// Rows: the frame's length, then the rings after it; the first is due on the first 1-ms step.
TEST_F(World, RingsSpawnEveryTwoHundredMsAlternatingLightAndBlack) {
    std::srand(1234);
    resetRound();
    const int rows[][2] = {{1, 1}, {199, 1}, {1, 2}, {400, 4}, {1200, 10}};
    for (const auto& row : rows) {
        step(row[0], true);
        EXPECT_EQ(ringCount, row[1]) << row[0];
    }
    EXPECT_DOUBLE_EQ(rings[0]->radius, 1.0 + 1801 * 0.15);
    EXPECT_TRUE(rings[0]->x > 320.0 && rings[0]->x < 320.26) << "one step along before the ring";
    EXPECT_DOUBLE_EQ(rings[4]->radius, 1.0 + 1200 * 0.15) << "all of a frame's rings grow alike";
    EXPECT_DOUBLE_EQ(rings[9]->radius, 1.0 + 1200 * 0.15);
    const Uint32 black = SDL_MapRGB(screen->format, 0, 0, 0);
    for (int r = 0; r < ringCount; ++r) {
        Uint8 rgb[3];
        SDL_GetRGB(rings[r]->colour, screen->format, &rgb[0], &rgb[1], &rgb[2]);
        EXPECT_EQ(rings[r]->colour == black, r % 2 == 1) << r;
        for (int c = 0; c < 3 && r % 2 == 0; ++c) {
            EXPECT_TRUE(rgb[c] >= 175 && rgb[c] <= 254) << r << " " << int(rgb[c]);
        }
        EXPECT_TRUE(r < 3 || r % 2 == 1 || rings[r]->colour != rings[r - 2]->colour) << r;
    }
}

// Rows: enemies on a ring about to pass, the health before, frames of 16 ms; then the health and
// the shown health after. A young ring's enemy always stays; a fifth hit ends the round.
TEST_F(World, PassingEnemiesCostHealthTheBarFollowsAndTheFifthEndsTheRound) {
    const struct {
        int passing;
        double healthBefore;
        int frames;
        double health, shown;
    } rows[] = {{0, 1.0, 1, 1.0, 1.0},
                {2, 1.0, 1, 0.58, NAN},
                {0, 0.79, 1, 0.79, 0.9824},
                {4, 1.0, 200, 0.16, 0.16},
                {5, 1.0, 80, 1.0, 1.0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.passing);
        resetRound();
        Ring* passing = addRing(849.95);
        addEnemy(addRing(10.0), 300.0, 200.0);
        for (int i = 0; i < row.passing; ++i) {
            addEnemy(passing, 300.0, 200.0);
        }
        health = row.healthBefore;
        score = 7;
        for (int frame = 0; frame < row.frames; ++frame) {
            step(16);
        }
        EXPECT_NEAR(health, row.health, 1e-12);
        EXPECT_TRUE(std::isnan(row.shown) || std::fabs(shownHealth - row.shown) < 1e-12)
            << shownHealth;
        const bool ended = row.passing == 5;
        EXPECT_EQ(score, ended ? 0 : 7);
        EXPECT_EQ(enemyCount, ended ? 0 : 1);
        EXPECT_EQ(ringCount, ended ? 0 : row.frames > 100 ? 1 : 2);
        if (ended) { // the frame that ended the round shows the empty tunnel in the new colour
            EXPECT_EQ(getPixel(screen, 5, 5), ringColour);
            EXPECT_EQ(getPixel(screen, 600, 380), ringColour);
        }
    }
}

// Rows: the frame's length and the rings already there; long frames end the round within the
// frame, full lists skip spawns instead of writing past their end.
TEST_F(World, LongFramesAndFullListsStayInBounds) {
    const int rows[][3] = {{10000, 1, 0}, {200000, 0, 0}, {2000, ListCapacity - 3, ListCapacity}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row[0]);
        resetRound();
        for (int i = 0; i < row[1]; ++i) {
            addRing(1.0);
        }
        step(row[0], true);
        EXPECT_EQ(ringCount, row[2]);
        EXPECT_LE(enemyCount, row[2] == 0 ? 0 : 3);
        EXPECT_TRUE(row[2] != 0 || health == 1.0);
    }
}

// Rows: enemies (ring radius, x, y), the aim, the two buttons, the pointer's focus; then the
// enemies hit. The pointer is at (320, 240); the hit radius is 12 + radius / 20.
TEST_F(World, AClickKillsEveryEnemyStrictlyInsideTheHitRadiusOfAnActivePointer) {
    const struct {
        std::vector<std::vector<double>> enemies;
        double aim;
        int left, right;
        bool active;
        int hits;
    } rows[] = {
        {{{100, 303, 240}}, 0, KeyPressed, KeyUp, true, 0},
        {{{100, 303.001, 240}}, 0, KeyPressed, KeyUp, true, 1},
        {{{100, 320, 240}}, 0, KeyUp, KeyPressed, true, 1},
        {{{100, 320, 240}}, 0, KeyHeld, KeyUp, true, 0},
        {{{100, 320, 240}}, 0, KeyPressed, KeyUp, false, 0},
        {{{200, 340, 240}, {50, 325, 241}, {50, 300, 100}}, 0.1, KeyPressed, KeyPressed, true, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        resetRound();
        for (const auto& e : row.enemies) {
            addEnemy(addRing(e[0]), e[1], e[2]);
        }
        aimX = row.aim;
        pointerActive[0] = row.active;
        pointerX[0] = 320;
        pointerY[0] = 240;
        mouseButtonState[1] = row.left;
        mouseButtonState[3] = row.right;
        step(0);
        EXPECT_EQ(score, 5 * row.hits);
        EXPECT_EQ(enemyCount, static_cast<int>(row.enemies.size()) - row.hits);
    }
}

TEST_F(World, EscapePausesTheMusicAndTheNextWorldFrameWithoutItResumes) {
    if (music == nullptr || Mix_PlayingMusic() == 0) {
        GTEST_SKIP() << "no music could be played here";
    }
    const int rows[][2] = {{KeyPressed, 1}, {KeyPressed, 1}, {KeyHeld, 0}, {KeyPressed, 1}};
    for (const auto& row : rows) {
        keyState[SDLK_ESCAPE] = row[0];
        step(16);
        EXPECT_EQ(Mix_PausedMusic(), row[1]);
    }
}

} // namespace
