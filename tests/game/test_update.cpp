// The world update: aim, spawning, growth, damage, health, round end, shots and capacity.
#include <gtest/gtest.h>

#include <cstdlib>

#include <SDL_mixer.h>

#include "app/frame_loop.h"
#include "game/update.h"
#include "game/world.h"
#include "gfx/pixels.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "support/headless.h"

namespace {

class UpdateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        ASSERT_TRUE(startHeadless(32));
    }

    // One world step of the given length, with no ring due during it unless asked.
    static void step(int ms, bool allowSpawn = false) {
        if (!allowSpawn) {
            spawnCountdown = 1000000;
        }
        frameMs = ms;
        updateWorld();
    }

    static Ring* addRing(double radius, double x = 320.0, double y = 240.0) {
        auto* ring = new Ring{x, y, radius, 0};
        rings[ringCount++] = ring;
        return ring;
    }

    static Enemy* addEnemy(Ring* ring, double x, double y) {
        auto* enemy = new Enemy{x, y, 0.0, 0.0, ring};
        enemies[enemyCount++] = enemy;
        return enemy;
    }

    static void aimPointerAt(int x, int y) {
        pointerActive[0] = true;
        pointerX[0] = x;
        pointerY[0] = y;
    }
};

TEST_F(UpdateTest, AimMovesAFifteenthOfTheWayPerFrameOnlyWhilePointerIsActive) {
    aimPointerAt(640, 240);
    step(0);
    EXPECT_DOUBLE_EQ(aimX, 0.064);
    EXPECT_DOUBLE_EQ(aimY, 0.0);

    pointerActive[0] = false;
    pointerX[0] = 0;
    pointerY[0] = 0;
    step(16);
    EXPECT_DOUBLE_EQ(aimX, 0.064);
    EXPECT_DOUBLE_EQ(aimY, 0.0);
}

TEST_F(UpdateTest, FirstRingOnTheFirstStepThenEveryTwoHundred) {
    ASSERT_EQ(spawnCountdown, 0);
    step(1, true);
    ASSERT_EQ(ringCount, 1);
    EXPECT_DOUBLE_EQ(rings[0]->radius, 1.0 + 0.15);
    // The spawn point moved one step right of its start before the ring was placed.
    EXPECT_GT(rings[0]->x, 320.0);
    EXPECT_LT(rings[0]->x, 320.26);
    step(199, true);
    EXPECT_EQ(ringCount, 1);
    step(1, true);
    EXPECT_EQ(ringCount, 2);
    step(400, true);
    EXPECT_EQ(ringCount, 4);
}

TEST_F(UpdateTest, RingsAlternateLightAndBlackWithOneLightColourEachInRandOrder) {
    std::srand(1234);
    resetRound();
    const Uint32 black = SDL_MapRGB(screen->format, 0, 0, 0);
    step(1200, true); // six rings
    ASSERT_EQ(ringCount, 6);

    // Replay the draws: the reset's colour, then per ring the enemy draw, with a fresh colour
    // right after each black ring (before that ring's enemy draw).
    std::srand(1234);
    auto colour = [] {
        const int blue = 175 + std::rand() % 80;
        const int green = 175 + std::rand() % 80;
        const int red = 175 + std::rand() % 80;
        return SDL_MapRGB(screen->format, static_cast<Uint8>(red), static_cast<Uint8>(green),
                          static_cast<Uint8>(blue));
    };
    Uint32 light = colour();
    int expectedEnemies = 0;
    for (int r = 0; r < 6; ++r) {
        if (r % 2 == 0) {
            EXPECT_EQ(rings[r]->colour, light) << "ring " << r;
        } else {
            EXPECT_EQ(rings[r]->colour, black) << "ring " << r;
            const Uint32 next = colour();
            EXPECT_NE(next, rings[r - 1]->colour);
            light = next;
        }
        expectedEnemies += std::rand() % 3 == 0 ? 1 : 0;
    }
    EXPECT_EQ(enemyCount, expectedEnemies);
    EXPECT_EQ(ringColour, light);
    EXPECT_FALSE(nextRingBlack);
}

TEST_F(UpdateTest, LongFrameSpawnsTenRingsAllOfRadius301) {
    step(2000, true);
    ASSERT_EQ(ringCount, 10);
    for (int r = 0; r < ringCount; ++r) {
        EXPECT_DOUBLE_EQ(rings[r]->radius, 301.0) << "ring " << r;
    }
}

TEST_F(UpdateTest, PassingEnemiesCostHealthAndEmptyRingsCostNothing) {
    Ring* crowded = addRing(849.95);
    addRing(849.95); // no enemies: passes for free
    Ring* young = addRing(100.0);
    addEnemy(crowded, 300.0, 200.0);
    addEnemy(young, 300.0, 200.0);
    addEnemy(crowded, 310.0, 200.0);
    step(1);
    EXPECT_NEAR(health, 1.0 - 2 * 0.21, 1e-12);
    ASSERT_EQ(enemyCount, 1);
    EXPECT_EQ(enemies[0]->ring, young);
    EXPECT_EQ(ringCount, 3);
}

TEST_F(UpdateTest, HealthEasesAndDrainsTowardHealth) {
    health = 0.79;
    step(16);
    EXPECT_NEAR(shownHealth, 0.9824, 1e-12);
}

TEST_F(UpdateTest, FourPassingEnemiesSettleAtPointSixteen) {
    Ring* ring = addRing(849.95);
    for (int i = 0; i < 4; ++i) {
        addEnemy(ring, 300.0, 200.0);
    }
    score = 7;
    for (int frame = 0; frame < 200; ++frame) {
        step(16);
    }
    EXPECT_NEAR(health, 0.16, 1e-12);
    EXPECT_DOUBLE_EQ(shownHealth, health);
    EXPECT_EQ(score, 7); // the round goes on
}

TEST_F(UpdateTest, FifthPassingEnemyEndsTheRoundAndTheWorldIsEmptyWhenDrawn) {
    Ring* ring = addRing(849.95);
    for (int i = 0; i < 5; ++i) {
        addEnemy(ring, 300.0, 200.0);
    }
    addRing(10.0);
    score = 0;
    int frames = 0;
    do {
        step(16);
        ++frames;
    } while (health != 1.0 && frames < 200);
    ASSERT_EQ(health, 1.0) << "the round never ended";
    EXPECT_LE(frames, 80); // about a second at 16 ms
    EXPECT_EQ(ringCount, 0);
    EXPECT_EQ(enemyCount, 0);
    // The frame that ended the round shows the empty tunnel in the new round's colour.
    for (int y = 0; y < 400; y += 7) {
        for (int x = 0; x < ScreenWidth; x += 7) {
            ASSERT_EQ(getPixel(screen, x, y), ringColour) << x << "," << y;
        }
    }
}

TEST_F(UpdateTest, ShotHitsStrictlyInsideTheHitRadius) {
    Ring* ring = addRing(100.0);
    addEnemy(ring, 320.0 - 17.0, 240.0); // hit radius 12 + 5 = 17, exactly on it
    aimPointerAt(320, 240);
    mouseButtonState[1] = KeyPressed;
    step(0);
    EXPECT_EQ(enemyCount, 1);
    EXPECT_EQ(score, 0);

    enemies[0]->x = 320.0 - 16.999;
    step(0);
    EXPECT_EQ(enemyCount, 0);
    EXPECT_EQ(score, 5);
}

TEST_F(UpdateTest, OneClickKillsEveryEnemyUnderThePointerOnce) {
    Ring* near = addRing(200.0);
    Ring* far = addRing(50.0);
    aimX = 0.1; // seen at x - r * aim: 340 - 20 = 320 and 325 - 5 = 320
    addEnemy(near, 340.0, 240.0);
    addEnemy(far, 300.0, 100.0); // elsewhere
    addEnemy(far, 325.0, 241.0);
    // Both buttons pressed in one frame count as one click; the pointer is at the centre so the
    // aim does not move.
    aimPointerAt(320, 240);
    mouseButtonState[1] = KeyPressed;
    mouseButtonState[3] = KeyPressed;
    step(0);
    EXPECT_EQ(score, 10);
    ASSERT_EQ(enemyCount, 1);
    EXPECT_DOUBLE_EQ(enemies[0]->y, 100.0);

    // A held button does not fire.
    mouseButtonState[1] = KeyHeld;
    mouseButtonState[3] = KeyUp;
    enemies[0]->x = 320.0 + 0.1 * 50.0;
    enemies[0]->y = 240.0;
    step(0);
    EXPECT_EQ(enemyCount, 1);
}

TEST_F(UpdateTest, InactivePointerNeitherAimsNorShoots) {
    Ring* ring = addRing(100.0);
    addEnemy(ring, 600.0, 400.0);
    pointerActive[0] = false;
    pointerX[0] = 600;
    pointerY[0] = 400;
    mouseButtonState[1] = KeyPressed;
    step(16);
    EXPECT_EQ(enemyCount, 1);
    EXPECT_EQ(score, 0);
    EXPECT_DOUBLE_EQ(aimX, 0.0);
    EXPECT_DOUBLE_EQ(aimY, 0.0);
}

TEST_F(UpdateTest, TenSecondFrameEndsTheRoundInThatFrame) {
    std::srand(77);
    resetRound();
    step(16, true);
    ASSERT_EQ(ringCount, 1);
    step(10000, true);
    EXPECT_EQ(health, 1.0);
    EXPECT_EQ(shownHealth, 1.0);
    EXPECT_EQ(ringCount, 0);
    EXPECT_EQ(enemyCount, 0);
}

TEST_F(UpdateTest, FullListsSkipSpawnsInsteadOfOverflowing) {
    for (int i = 0; i < ListCapacity - 3; ++i) {
        addRing(1.0);
    }
    step(2000, true); // ten rings due, room for three
    EXPECT_EQ(ringCount, ListCapacity);
    EXPECT_LE(enemyCount, 3);
    for (int r = 0; r < ringCount; ++r) {
        ASSERT_NE(rings[r], nullptr);
    }

    // A single frame of 200 seconds: far more spawns than room; everything stays in bounds and
    // all of it has grown past the removal radius by the end of the frame.
    resetRound();
    step(200000, true);
    EXPECT_EQ(ringCount, 0);
    EXPECT_EQ(enemyCount, 0);
}

TEST(UpdateMusicTest, EscapePausesTheMusicAndTheNextWorldFrameResumesIt) {
    enterScratchFolder(true);
    ASSERT_TRUE(startHeadless(32));
    if (music == nullptr || Mix_PlayingMusic() == 0) {
        GTEST_SKIP() << "no music could be played here";
    }
    frameMs = 16;
    keyState[27] = KeyPressed;
    updateWorld();
    EXPECT_EQ(Mix_PausedMusic(), 1);
    keyState[27] = KeyPressed; // pressed again in the first frame back: stays paused
    updateWorld();
    EXPECT_EQ(Mix_PausedMusic(), 1);
    keyState[27] = KeyHeld;
    updateWorld();
    EXPECT_EQ(Mix_PausedMusic(), 0);
}

} // namespace
