// Start-up and the frame loop: the pacing, a queued quit, and every display depth through a
// whole stretch of play.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <unistd.h>
#include <vector>

#include "app/frame_loop.h"
#include "dashboard/state.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"

Uint32 frameStartTicks = 0;
Uint32 frameSpentMs = 0;
int clockReads = 0;
std::vector<Uint32> delays;

// Rows: how long a frame's work took, then the waits after it; a quit queued before is taken.
TEST(FrameLoop, AFrameIsDelayedToTheBudgetAndAQueuedQuitIsTaken) {
    enterScratchFolder(true);
    ASSERT_TRUE(startHeadless(32));
    std::signal(SIGALRM, SIG_DFL), alarm(30); // a frame that hangs on the queue ends the test
    queryTicks = [] { return frameStartTicks + (clockReads++ > 0 ? frameSpentMs : 0); };
    delayFrame = [](Uint32 ms) { delays.push_back(ms); };
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    const std::pair<Uint32, std::vector<Uint32>> rows[] = {
        {0, {16}}, {6, {10}}, {15, {1}}, {16, {}}, {40, {}}};
    for (const auto& [spent, expected] : rows) {
        delays.clear();
        frameStartTicks += 1000;
        frameSpentMs = spent;
        clockReads = 0;
        runFrame();
        EXPECT_EQ(delays, expected) << spent;
    }
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS), 0);
}

class DisplayDepth : public ::testing::TestWithParam<int> {};

// 8 (palettised), 16, 24, 32 bits: start-up reads the best; play, a round to its end, the
// dashboard, "Save BMP screenshot", play again.
TEST_P(DisplayDepth, TheWholeFrameSequenceRuns) {
    enterScratchFolder(true);
    writeWhole("highscore.dat", " 42\n");
    ASSERT_TRUE(startHeadless(GetParam()));
    ASSERT_EQ(screen->format->BitsPerPixel, GetParam());
    EXPECT_TRUE(screen->w == 640 && screen->h == 480 && SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE);
    EXPECT_EQ(highScore, 42);
    useFakeClock(1000);
    queryAppState = focusedAppState;
    EXPECT_TRUE(play(6000, 50, 5, 5, [] { return shownHealth < 1.0; }));
    EXPECT_TRUE(play(6000, 50, 5, 5, [] { return shownHealth == 1.0; }));
    EXPECT_TRUE(easeDashboardTo(100.0));
    ASSERT_TRUE(play(2, 16, 320, 215, [] { return readWhole("screenshot1.bmp") != ""; }));
    EXPECT_TRUE(easeDashboardTo(0.0));
    EXPECT_FALSE(play(20, 16, 320, 240, [] { return quitRequested; }));
}

INSTANTIATE_TEST_SUITE_P(Bits, DisplayDepth, ::testing::Values(8, 16, 24, 32));
