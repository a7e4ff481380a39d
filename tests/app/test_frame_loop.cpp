// Start-up and the frame loop: the window, pacing, and when queued events end the game.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "app/frame_loop.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "support/headless.h"
#include "support/play.h"

namespace {

Uint32 frameStartTicks = 0;
Uint32 frameSpentMs = 0;
bool frameStarted = false;
std::vector<Uint32> delays;

bool queueIsEmpty() {
    SDL_Event event;
    SDL_PumpEvents();
    return SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) == 0;
}

void pushQuit() {
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

TEST(StartUp, OpensA640By480WindowWithTheCursorHidden) {
    enterScratchFolder(true);
    ASSERT_TRUE(startHeadless(0));
    EXPECT_EQ(screen->w, 640);
    EXPECT_EQ(screen->h, 480);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST(StartUp, NoWindowMeansOneLineAndStatusOne) {
    const std::string command = std::string("SDL_VIDEODRIVER=no-such-driver ") + GLIMM_BINARY;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(output.rfind("glimm: cannot open the 640x480 window: ", 0), 0u) << output;
    EXPECT_EQ(output.find('\n'), output.size() - 1) << "one line only: " << output;
}

// A frame that spent some milliseconds waits out the rest of the 16 ms budget, and only that.
TEST(FrameLoop, AFrameIsDelayedToTheBudgetAndAnOverrunIsNot) {
    enterScratchFolder(true);
    ASSERT_TRUE(startHeadless(32));
    // The frame's first read is its start; every later read sees the work done.
    queryTicks = [] {
        const Uint32 now = frameStartTicks + (frameStarted ? frameSpentMs : 0);
        frameStarted = true;
        return now;
    };
    delayFrame = [](Uint32 ms) { delays.push_back(ms); };
    const std::pair<Uint32, std::vector<Uint32>> rows[] = {
        {0, {16}}, {6, {10}}, {15, {1}}, {16, {}}, {40, {}}};
    for (const auto& [spent, expected] : rows) {
        SCOPED_TRACE(spent);
        delays.clear();
        frameStartTicks += 1000;
        frameSpentMs = spent;
        frameStarted = false;
        runFrame();
        EXPECT_EQ(delays, expected);
    }
}

// One frame takes every queued event, past the queue's room too, and a quit among them ends the
// game at that frame's end; the loop then runs no further frame, ever.
TEST(FrameLoop, OneFrameTakesEveryEventAndAQueuedQuitEndsTheGameThere) {
    enterScratchFolder(true);
    ASSERT_TRUE(startHeadless(32));
    useFakeClock(1000);
    queryAppState = focusedAppState;
    const struct {
        const char* what;
        std::function<void()> queue;
        bool quits;
    } rows[] = {
        {"nothing", [] {}, false},
        {"a flood of keys and buttons past the tables",
         [] {
             for (int i = 0; i < 400; ++i) {
                 pushKey(i % 2 == 0 ? 500 + i : -1, i % 3 != 0);
                 pushButton(i % 2 == 0 ? 10 + i % 246 : 255, i % 3 != 0, i, i);
             }
         },
         false},
        {"a quit behind clicks and before a flood of keys",
         [] {
             for (int i = 0; i < 100; ++i) {
                 pushButton(SDL_BUTTON_LEFT, i % 2 == 0, 320, 240);
             }
             pushQuit();
             for (int i = 0; i < 400; ++i) {
                 pushKey(SDLK_a, true);
             }
         },
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.queue();
        runFrameLasting(16);
        EXPECT_EQ(quitRequested, row.quits);
        EXPECT_TRUE(queueIsEmpty());
    }
    quitRequested = false;
    pushQuit(); // as if during start-up: the loop still runs that one frame
    delayFrame = [](Uint32) { delays.push_back(0); };
    delays.clear();
    runGameLoop();
    runGameLoop();
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(delays.size(), 1u) << "frames run";
}

} // namespace
