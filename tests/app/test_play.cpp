// Whole stretches of headless play: every display depth through the frame sequence, and the soak.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "dashboard/media.h"
#include "dashboard/state.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "support/headless.h"
#include "support/play.h"

namespace {

class DisplayDepth : public ::testing::TestWithParam<int> {};

// 8 (palettised), 16, 24, 32: the spans, the backdrop and the screenshot each have a path per
// depth. The screenshot is the captured game frame, to the format's own precision.
TEST_P(DisplayDepth, TheWholeFrameSequenceRunsAndTheScreenshotIsTheCapture) {
    enterScratchFolder(true);
    ASSERT_TRUE(startHeadless(GetParam()));
    ASSERT_EQ(screen->format->BitsPerPixel, GetParam());
    playFullSequence();
    SDL_Surface* saved = SDL_LoadBMP("screenshot1.bmp");
    ASSERT_NE(saved, nullptr);
    ASSERT_NE(backdropCapture, nullptr);
    const SDL_PixelFormat* f = backdropCapture->format;
    const int lost = 1 << std::max({f->Rloss, f->Gloss, f->Bloss});
    int differing = 0;
    for (int y = 0; y < ScreenHeight; ++y) {
        for (int x = 0; x < ScreenWidth; ++x) {
            Uint8 a[3], b[3];
            readRgb(saved, x, y, a[0], a[1], a[2]);
            readRgb(backdropCapture, x, y, b[0], b[1], b[2]);
            differing += std::abs(a[0] - b[0]) >= lost || std::abs(a[1] - b[1]) >= lost ||
                         std::abs(a[2] - b[2]) >= lost;
        }
    }
    EXPECT_EQ(differing, 0);
    SDL_FreeSurface(saved);
}

INSTANTIATE_TEST_SUITE_P(Bits, DisplayDepth, ::testing::Values(8, 16, 24, 32));

long fromEnvironment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    const long value = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
    return value > 0 ? value : fallback;
}

// Live entries first, then only nulls; each enemy rides a ring still in the list.
void expectListsWhole() {
    ASSERT_TRUE(ringCount >= 0 && ringCount <= ListCapacity && enemyCount >= 0 &&
                enemyCount <= ListCapacity);
    for (int i = 0; i < ListCapacity; ++i) {
        ASSERT_EQ(rings[i] != nullptr, i < ringCount) << "ring slot " << i;
        ASSERT_EQ(enemies[i] != nullptr, i < enemyCount) << "enemy slot " << i;
    }
    for (int i = 0; i < enemyCount; ++i) {
        ASSERT_NE(std::find(rings, rings + ringCount, enemies[i]->ring), rings + ringCount) << i;
    }
}

// Frames of 1 to 500 ms, now and then 10 s, once 200 s; random clicks, Escape presses and the
// dashboard's "Resume game" and "Save BMP screenshot" (never "Exit"). GLIMM_SOAK_MINUTES of game
// time (default 5), seed GLIMM_SOAK_SEED (default 7).
TEST(Soak, LongPlayKeepsTheWorldWholeAndTheHighScoreFileValid) {
    enterScratchFolder(true);
    ASSERT_TRUE(startHeadless(32));
    useFakeClock(1000);
    queryAppState = focusedAppState;
    std::mt19937 random(static_cast<unsigned>(fromEnvironment("GLIMM_SOAK_SEED", 7)));
    const Uint32 gameMs = static_cast<Uint32>(fromEnvironment("GLIMM_SOAK_MINUTES", 5)) * 60000u;
    Uint32 played = 0;
    int resets = 0, screenshots = 0;
    bool longFrameDone = false, releasing = false;
    while (played < gameMs) {
        Uint32 ms = 1 + random() % 500;
        if (random() % 1500 == 0) {
            ms = 10000;
        } else if (!longFrameDone && played > gameMs / 2) {
            ms = 200000;
            longFrameDone = true;
        }
        const bool open = dashboardFraction == 100.0;
        const int x = static_cast<int>(random() % (dashboardFraction == 0.0 ? 640 : 150));
        const int y = static_cast<int>(random() % 480);
        SDL_WarpMouse(static_cast<Uint16>(x), static_cast<Uint16>(y));
        // A frame that carries releases presses nothing: both in one frame cancel the press.
        const unsigned action = releasing ? 100 : random() % 100;
        releasing = action < 34 || (action < 44 && open);
        if (action < 30) {
            pushButton(random() % 2 == 0 ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT, true, x, y);
        } else if (action < 34) {
            pushKey(SDLK_ESCAPE, true);
        } else if (action < 44 && open) {
            const bool save = screenshots < 3 && random() % 4 == 0;
            screenshots += save ? 1 : 0;
            SDL_WarpMouse(320, save ? 215 : 115);
            pushButton(SDL_BUTTON_LEFT, true, 320, save ? 215 : 115);
        }
        const double angleBefore = spawnAngle;
        const bool worldRuns = dashboardFraction == 0.0;
        runFrameLasting(ms);
        played += ms;
        if (releasing) {
            pushButton(SDL_BUTTON_LEFT, false, x, y);
            pushButton(SDL_BUTTON_RIGHT, false, x, y);
            pushKey(SDLK_ESCAPE, false);
        }
        expectListsWhole();
        ASSERT_FALSE(quitRequested);
        ASSERT_TRUE(dashboardFraction >= 0.0 && dashboardFraction <= 100.0);
        // Only a round reset puts the heading back to exactly 0: then the round starts afresh.
        if (worldRuns && frameMs > 0 && spawnAngle == 0.0 && angleBefore != 0.0) {
            ++resets;
            ASSERT_TRUE(aimX == 0.0 && aimY == 0.0 && spawnX == 320.0 && spawnY == 115.0 &&
                        spawnCountdown == 0 && !nextRingBlack && ringCount == 0 &&
                        enemyCount == 0 && health == 1.0 && shownHealth == 1.0 && score == 0);
        }
    }
    if (highScore > 0) {
        EXPECT_EQ(readWhole("highscore.dat"), std::to_string(highScore) + "\n");
    }
    EXPECT_GT(resets, 0);
    std::printf("soak: %u s of game time, %d round resets, %d screenshots\n", played / 1000, resets,
                screenshots);
}

} // namespace
