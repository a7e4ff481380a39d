// Soak: long headless play with frame lengths from 1 ms to 500 ms, a few 10 s frames and one of
// 200 s, random clicks, Escape presses and dashboard button clicks. After every frame the lists
// hold together; after every round reset the world is as a fresh round's. Game minutes come
// from GLIMM_SOAK_MINUTES (default 5; the long form runs 600), the random seed from
// GLIMM_SOAK_SEED (default 7).
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "dashboard/controller.h"
#include "dashboard/state.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"
#include "support/play.h"

namespace {

// A positive whole number from the environment, or the fallback.
long fromEnvironment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    const long value = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
    return value > 0 ? value : fallback;
}

// Live entries first, then only nulls; each enemy rides a ring that is still in the list.
void expectListsWhole() {
    ASSERT_GE(ringCount, 0);
    ASSERT_LE(ringCount, ListCapacity);
    ASSERT_GE(enemyCount, 0);
    ASSERT_LE(enemyCount, ListCapacity);
    for (int i = 0; i < ListCapacity; ++i) {
        ASSERT_EQ(rings[i] != nullptr, i < ringCount) << "ring slot " << i;
        ASSERT_EQ(enemies[i] != nullptr, i < enemyCount) << "enemy slot " << i;
    }
    for (int i = 0; i < enemyCount; ++i) {
        bool found = false;
        for (int j = 0; j < ringCount && !found; ++j) {
            found = enemies[i]->ring == rings[j];
        }
        ASSERT_TRUE(found) << "enemy " << i << " rides a ring that left";
    }
}

// The world exactly as a round reset leaves it.
void expectFreshRound() {
    EXPECT_EQ(aimX, 0.0);
    EXPECT_EQ(aimY, 0.0);
    EXPECT_EQ(spawnX, 320.0);
    EXPECT_EQ(spawnY, 115.0);
    EXPECT_EQ(spawnAngle, 0.0);
    EXPECT_EQ(spawnCountdown, 0);
    EXPECT_FALSE(nextRingBlack);
    EXPECT_EQ(ringCount, 0);
    EXPECT_EQ(enemyCount, 0);
    EXPECT_EQ(health, 1.0);
    EXPECT_EQ(shownHealth, 1.0);
    EXPECT_EQ(score, 0);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(ringColour, screen->format, &r, &g, &b);
    for (Uint8 channel : {r, g, b}) {
        EXPECT_GE(channel, 175);
        EXPECT_LE(channel, 254);
    }
}

} // namespace

TEST(Soak, LongPlayKeepsTheWorldWholeAndTheHighScoreFileValid) {
    enterScratchFolder(true);
    ASSERT_TRUE(startHeadless(32));
    useFakeClock(1000);
    queryAppState = focusedAppState;
    std::mt19937 random(
        static_cast<std::mt19937::result_type>(fromEnvironment("GLIMM_SOAK_SEED", 7)));
    const Uint32 gameMs = static_cast<Uint32>(fromEnvironment("GLIMM_SOAK_MINUTES", 5)) * 60000u;
    Uint32 played = 0;
    long frames = 0;
    int resets = 0;
    int screenshots = 0;
    int buttonClicks = 0;
    bool longFrameDone = false;
    bool releasing = false;
    while (played < gameMs) {
        // Mostly ordinary frames; now and then a stall of 10 s, and once one of 200 s.
        Uint32 ms = 1 + random() % 500;
        if (random() % 1500 == 0) {
            ms = 10000;
        } else if (!longFrameDone && played > gameMs / 2) {
            ms = 200000;
            longFrameDone = true;
        }
        // While the dashboard shows, random clicks stay left of its buttons: "Exit" would end
        // the run.
        const int x = static_cast<int>(random() % (dashboardFraction == 0.0 ? 640 : 150));
        const int y = static_cast<int>(random() % 480);
        SDL_WarpMouse(static_cast<Uint16>(x), static_cast<Uint16>(y));
        // A release and a new press in one frame's events would cancel the press, so a frame
        // that carries releases presses nothing.
        const unsigned action = releasing ? 100 : random() % 100;
        releasing = action < 34 || (action < 44 && dashboardFraction == 100.0);
        if (action < 30) {
            const int button = random() % 2 == 0 ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
            pushButton(button, true, x, y);
            pushButton(button, random() % 2 == 0, x, y);
        } else if (action < 34) {
            pushKey(SDLK_ESCAPE, true); // released after the frame, so the press is seen
        } else if (action < 44 && dashboardFraction == 100.0) {
            // "Resume game", or now and then "Save BMP screenshot"; never "Exit".
            const bool save = screenshots < 3 && random() % 4 == 0;
            screenshots += save ? 1 : 0;
            ++buttonClicks;
            SDL_WarpMouse(320, save ? 215 : 115);
            pushButton(SDL_BUTTON_LEFT, true, 320, save ? 215 : 115);
        }
        const double angleBefore = spawnAngle;
        const bool worldRuns = dashboardFraction == 0.0;
        runFrameLasting(ms);
        played += ms;
        ++frames;
        if (releasing) {
            pushButton(SDL_BUTTON_LEFT, false, x, y);
            pushButton(SDL_BUTTON_RIGHT, false, x, y);
            pushKey(SDLK_ESCAPE, false);
        }

        expectListsWhole();
        ASSERT_FALSE(quitRequested);
        ASSERT_TRUE(dashboardFraction >= 0.0 && dashboardFraction <= 100.0);
        // Only a round reset puts the heading back to exactly 0.
        if (worldRuns && frameMs > 0 && spawnAngle == 0.0 && angleBefore != 0.0) {
            ++resets;
            expectFreshRound();
            if (HasFailure()) {
                return;
            }
        }
    }
    if (highScore > 0) {
        EXPECT_EQ(readWhole("highscore.dat"), std::to_string(highScore) + "\n");
    }
    EXPECT_GT(resets, 0);
    RecordProperty("frames", static_cast<int>(frames));
    RecordProperty("round_resets", resets);
    std::printf("soak: %ld frames, %u s of game time, %d round resets, %d dashboard button "
                "clicks, %d screenshots\n",
                frames, played / 1000, resets, buttonClicks, screenshots);
}
