// The input snapshot: three-valued words, event order within a frame, ignored events, clamping.
#include <gtest/gtest.h>

#include "platform/input.h"
#include "support/headless.h"

namespace {

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        ASSERT_TRUE(startHeadless(32));
    }
    static int queued(Uint32 mask) {
        SDL_Event events[200];
        SDL_PumpEvents();
        return SDL_PeepEvents(events, 200, SDL_PEEKEVENT, mask);
    }
};

} // namespace

TEST_F(InputTest, PressAgesToHeldAndReleaseClears) {
    pushKey(SDLK_ESCAPE, true);
    pushButton(SDL_BUTTON_LEFT, true);
    readInput();
    EXPECT_EQ(keyState[SDLK_ESCAPE], KeyPressed);
    EXPECT_EQ(mouseButtonState[SDL_BUTTON_LEFT], KeyPressed);
    readInput();
    EXPECT_EQ(keyState[SDLK_ESCAPE], KeyHeld);
    EXPECT_EQ(mouseButtonState[SDL_BUTTON_LEFT], KeyHeld);
    readInput();
    EXPECT_EQ(keyState[SDLK_ESCAPE], KeyHeld);
    pushKey(SDLK_ESCAPE, false);
    pushButton(SDL_BUTTON_LEFT, false);
    readInput();
    EXPECT_EQ(keyState[SDLK_ESCAPE], KeyUp);
    EXPECT_EQ(mouseButtonState[SDL_BUTTON_LEFT], KeyUp);
}

TEST_F(InputTest, AllDownsOfAFrameComeBeforeAllUps) {
    // Pressed and released in one frame: nobody sees the press.
    pushKey(SDLK_a, true);
    pushKey(SDLK_a, false);
    // A held key released and pressed again in one frame also ends up.
    pushButton(SDL_BUTTON_RIGHT, true);
    readInput();
    pushButton(SDL_BUTTON_RIGHT, false);
    pushButton(SDL_BUTTON_RIGHT, true);
    // A wheel notch is a down and an up at once.
    pushButton(SDL_BUTTON_WHEELUP, true);
    pushButton(SDL_BUTTON_WHEELUP, false);
    readInput();
    EXPECT_EQ(keyState[SDLK_a], KeyUp);
    EXPECT_EQ(mouseButtonState[SDL_BUTTON_RIGHT], KeyUp);
    EXPECT_EQ(mouseButtonState[SDL_BUTTON_WHEELUP], KeyUp);
    readInput();
    EXPECT_EQ(mouseButtonState[SDL_BUTTON_RIGHT], KeyUp);
}

TEST_F(InputTest, OutOfRangeEventsAreTakenAndIgnoredOthersStay) {
    for (int& word : keyState) {
        word = KeyUp;
    }
    pushKey(500, true);
    pushKey(600, false);
    pushButton(10, true);
    pushButton(200, false);
    SDL_Event user = {};
    user.type = SDL_USEREVENT;
    SDL_PushEvent(&user);
    readInput();
    EXPECT_EQ(queued(SDL_KEYDOWNMASK | SDL_KEYUPMASK), 0);
    EXPECT_EQ(queued(SDL_MOUSEBUTTONDOWNMASK | SDL_MOUSEBUTTONUPMASK), 0);
    EXPECT_EQ(queued(SDL_EVENTMASK(SDL_USEREVENT)), 1);
    for (int word : keyState) {
        EXPECT_EQ(word, KeyUp);
    }
    for (int word : mouseButtonState) {
        EXPECT_EQ(word, KeyUp);
    }
}

TEST_F(InputTest, PointerXIsHeldToTheWindowAndYIsNot) {
    SDL_WarpMouse(123, 45);
    pointerX[1] = 900;
    pointerX[2] = -7;
    pointerY[1] = 900;
    pointerY[2] = -7;
    readInput();
    EXPECT_EQ(pointerX[0], 123);
    EXPECT_EQ(pointerY[0], 45);
    EXPECT_EQ(pointerX[1], 640);
    EXPECT_EQ(pointerX[2], 0);
    EXPECT_EQ(pointerY[1], 900);
    EXPECT_EQ(pointerY[2], -7);
}
