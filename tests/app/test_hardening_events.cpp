// Hostile event streams: floods past SDL's queue, quits hidden in them, keys and buttons of any
// number, all through real frames of the running game.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <random>

#include "app/frame_loop.h"
#include "dashboard/controller.h"
#include "dashboard/state.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "support/headless.h"

namespace {

constexpr int FloodSize = 400; // well past the queue's room for about 127 events

Uint8 focused() {
    return SDL_APPMOUSEFOCUS | SDL_APPINPUTFOCUS | SDL_APPACTIVE;
}

int framesRun = 0;
void countFrame(Uint32 /*ms*/) {
    ++framesRun;
}

class EventHardening : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(true);
        ASSERT_TRUE(startHeadless(32));
        useFakeClock(1000);
        queryAppState = focused;
    }

    static bool pushQuit() {
        SDL_Event quit = {};
        quit.type = SDL_QUIT;
        return SDL_PushEvent(&quit) == 0;
    }

    static bool queueIsEmpty() {
        SDL_Event event;
        SDL_PumpEvents();
        return SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) == 0;
    }

    static void expectStateWordsValid() {
        for (int word : keyState) {
            ASSERT_TRUE(word >= KeyUp && word <= KeyPressed);
        }
        for (int word : mouseButtonState) {
            ASSERT_TRUE(word >= KeyUp && word <= KeyPressed);
        }
        ASSERT_LE(ringCount, ListCapacity);
        ASSERT_LE(enemyCount, ListCapacity);
    }
};

// Any event of the kinds the game reads or drains, with any key symbol, button or position.
SDL_Event randomEvent(std::mt19937& random) {
    SDL_Event event = {};
    const Uint8 types[] = {SDL_KEYDOWN,     SDL_KEYUP,       SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP,
                           SDL_MOUSEMOTION, SDL_ACTIVEEVENT, SDL_USEREVENT,       SDL_VIDEOEXPOSE};
    event.type = types[random() % 8];
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const Uint32 symbols[] = {static_cast<Uint32>(random()),
                                  static_cast<Uint32>(random() % 600),
                                  499,
                                  500,
                                  0xFFFFFFFFu,
                                  SDLK_ESCAPE};
        const Uint32 symbol = symbols[random() % 6];
        static_assert(sizeof event.key.keysym.sym == sizeof symbol, "SDLKey is 32 bits");
        std::memcpy(&event.key.keysym.sym, &symbol, sizeof symbol);
        event.key.state = event.type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        event.button.button = static_cast<Uint8>(random());
        event.button.x = static_cast<Uint16>(random());
        event.button.y = static_cast<Uint16>(random());
        break;
    case SDL_MOUSEMOTION:
        event.motion.x = static_cast<Uint16>(random());
        event.motion.y = static_cast<Uint16>(random());
        break;
    default:
        break;
    }
    return event;
}

} // namespace

TEST_F(EventHardening, AFloodPastTheQueueIsTakenInOneFrameAndPlayGoesOn) {
    for (int i = 0; i < FloodSize; ++i) {
        // Symbols far past the table, and the greatest a button number can be.
        pushKey(i % 2 == 0 ? 500 + i : -1, i % 3 != 0);
        pushButton(i % 2 == 0 ? 10 + i % 246 : 255, i % 3 != 0, i, i);
    }
    // The queue is full: a quit now is refused by SDL and so can never reach the game.
    EXPECT_FALSE(pushQuit());
    runFrameLasting(16);
    EXPECT_TRUE(queueIsEmpty());
    EXPECT_FALSE(quitRequested);
    expectStateWordsValid();
    for (int word : keyState) {
        EXPECT_EQ(word, KeyUp);
    }
    // The next frame reads a real Escape as usual.
    pushKey(SDLK_ESCAPE, true);
    runFrameLasting(16);
    EXPECT_TRUE(dashboardOpen);
    EXPECT_GT(dashboardFraction, 0.0);
}

TEST_F(EventHardening, AQuitBehindAFullQueueOfInputEndsTheGameAfterThatFrame) {
    for (int i = 0; i < 100; ++i) {
        pushButton(SDL_BUTTON_LEFT, i % 2 == 0, 320, 240);
    }
    ASSERT_TRUE(pushQuit());
    for (int i = 0; i < FloodSize; ++i) {
        pushKey(SDLK_a, true);
    }
    framesRun = 0;
    delayFrame = countFrame;
    runGameLoop();
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(framesRun, 1);
    EXPECT_TRUE(queueIsEmpty());
}

TEST_F(EventHardening, AQuitDuringStartUpRunsExactlyOneFrame) {
    // Start-up is over only when the loop begins; a quit that came in meanwhile (here: right
    // after the window opened and the media loaded) still gets its one frame.
    ASSERT_TRUE(pushQuit());
    framesRun = 0;
    delayFrame = countFrame;
    runGameLoop();
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(framesRun, 1);
    // Running the loop again does nothing: the flag is never cleared.
    runGameLoop();
    EXPECT_EQ(framesRun, 1);
}

TEST_F(EventHardening, RandomEventStormsOverManyFramesKeepEveryStateWordValid) {
    std::mt19937 random(20261206);
    for (int frame = 0; frame < 300; ++frame) {
        const int count = static_cast<int>(random() % 200);
        for (int i = 0; i < count; ++i) {
            SDL_Event event = randomEvent(random);
            SDL_PushEvent(&event);
        }
        runFrameLasting(1 + random() % 60);
        ASSERT_FALSE(quitRequested) << frame;
        expectStateWordsValid();
        ASSERT_TRUE(dashboardFraction >= 0.0 && dashboardFraction <= 100.0);
    }
}
