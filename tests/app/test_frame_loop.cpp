// Start-up and the frame loop: pacing, quitting, and a window that cannot be had.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "app/frame_loop.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"

namespace {

Uint32 steppingNow = 0;
Uint32 stepPerCall = 0;
std::vector<Uint32> delays;

Uint32 steppingTicks() {
    steppingNow += stepPerCall;
    return steppingNow;
}
void recordDelay(Uint32 ms) {
    delays.push_back(ms);
}

void pushQuit() {
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

} // namespace

TEST(FrameLoop, StartsAWindowOf640By480) {
    enterScratchFolder();
    ASSERT_TRUE(startHeadless(0));
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 640);
    EXPECT_EQ(screen->h, 480);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST(FrameLoop, QuitQueuedBeforeTheFirstFrameStillRunsThatFrame) {
    enterScratchFolder();
    ASSERT_TRUE(startHeadless(32));
    useFakeClock(500);
    pushQuit();
    runGameLoop();
    EXPECT_TRUE(quitRequested);
    // The frame ran: its dashboard step took the frame clock.
    EXPECT_EQ(lastFrameTicks, 500u);
    EXPECT_EQ(frameMs, 500);
}

TEST(FrameLoop, QuitIsActedOnAtTheEndOfItsFrame) {
    enterScratchFolder();
    ASSERT_TRUE(startHeadless(32));
    useFakeClock();
    runFrameLasting(16);
    EXPECT_FALSE(quitRequested);
    pushQuit();
    runFrameLasting(16);
    EXPECT_TRUE(quitRequested);
    // Nothing is left for the next frame.
    SDL_Event event;
    EXPECT_EQ(SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS), 0);
}

TEST(FrameLoop, FramesAreDelayedToTheBudgetAndOverrunsAreNot) {
    enterScratchFolder();
    ASSERT_TRUE(startHeadless(32));
    delayFrame = recordDelay;
    queryTicks = steppingTicks;
    stepPerCall = 3; // start, frame clock, end: 6 ms spent
    runFrame();
    ASSERT_EQ(delays.size(), 1u);
    EXPECT_EQ(delays[0], 10u);
    stepPerCall = 8; // exactly the budget
    runFrame();
    stepPerCall = 40; // far over
    runFrame();
    EXPECT_EQ(delays.size(), 1u);
}

TEST(FrameLoop, RealFramesLastAtLeastTheBudget) {
    enterScratchFolder();
    ASSERT_TRUE(startHeadless(32));
    std::vector<Uint32> starts;
    for (int i = 0; i < 12; ++i) {
        starts.push_back(SDL_GetTicks());
        runFrame();
    }
    starts.push_back(SDL_GetTicks());
    for (size_t i = 1; i < starts.size(); ++i) {
        EXPECT_GE(starts[i] - starts[i - 1], static_cast<Uint32>(FrameBudgetMs)) << "frame " << i;
    }
}

TEST(FrameLoop, NoWindowMeansMessageAndStatusOne) {
    const std::string command =
        std::string("SDL_VIDEODRIVER=no-such-driver ") + GLIMM_BINARY + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(output.rfind("glimm: cannot open the 640x480 window: ", 0), 0u) << output;
    EXPECT_EQ(output.find('\n'), output.size() - 1) << "one line only: " << output;
}
