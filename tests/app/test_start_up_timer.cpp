// Start-up leaves SDL's timer subsystem off (classic SDL's timer thread wakes every millisecond)
// while the frame clock still runs.
#include <gtest/gtest.h>

#include <SDL.h>

#include "support/headless.h"

TEST(StartUpTimer, NoTimerThreadYetTheTicksRun) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    EXPECT_EQ(SDL_WasInit(SDL_INIT_TIMER), 0U);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0U);
    const Uint32 start = SDL_GetTicks();
    Uint32 now = start;
    for (int wait = 0; wait < 1000 && now - start < 5; ++wait) {
        SDL_Delay(1);
        now = SDL_GetTicks();
    }
    EXPECT_GE(now - start, 5U) << "the ticks stood still";
}
