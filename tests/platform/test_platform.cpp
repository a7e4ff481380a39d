// The platform layer: the input snapshot's state words, the frame clock and the pointer focus.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/frame_clock.h"
#include "platform/input.h"
#include "support/headless.h"
#include "support/play.h"

namespace {

// Each row: frames of events ("K" Escape, "A" key a, "L" left, "R" right, "W" wheel button;
// "+" down, "-" up; "|" ends a frame), then the word of the watched key or button.
TEST(Input, StateWordsFollowTheEventsOfEachFrame) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    const struct {
        const char* events;
        char watched;
        int expected;
    } rows[] = {
        {"K+|", 'K', KeyPressed}, {"K+|||", 'K', KeyHeld},  {"K+||K-|", 'K', KeyUp},
        {"L+|", 'L', KeyPressed}, {"L+||", 'L', KeyHeld},   {"L+||L-|", 'L', KeyUp},
        {"A+A-|", 'A', KeyUp},    {"R+|R-R+|", 'R', KeyUp}, {"W+W-|", 'W', KeyUp},
    };
    const std::string names = "KALRW";
    const int codes[] = {SDLK_ESCAPE, SDLK_a, SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT,
                         SDL_BUTTON_WHEELUP};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.events);
        std::fill(std::begin(keyState), std::end(keyState), KeyUp);
        std::fill(std::begin(mouseButtonState), std::end(mouseButtonState), KeyUp);
        for (const char* c = row.events; *c != '\0'; ++c) {
            const size_t name = names.find(*c);
            if (*c == '|') {
                readInput();
            } else if (name != std::string::npos) {
                name < 2 ? pushKey(codes[name], c[1] == '+') : pushButton(codes[name], c[1] == '+');
            }
        }
        const int code = codes[names.find(row.watched)];
        EXPECT_EQ(names.find(row.watched) < 2 ? keyState[code] : mouseButtonState[code],
                  row.expected);
    }
}

TEST(Input, EventsPastTheTablesAreTakenAndIgnoredAndTheQuitIsLeftQueued) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    pushKey(KeyStateCount, true);
    pushButton(MouseButtonStateCount, true);
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    readInput();
    SDL_Event left[4];
    ASSERT_EQ(SDL_PeepEvents(left, 4, SDL_PEEKEVENT, SDL_ALLEVENTS), 1);
    EXPECT_EQ(left[0].type, SDL_QUIT) << "for drainEvents";
    EXPECT_EQ(std::count(keyState, keyState + KeyStateCount, KeyUp), KeyStateCount);
    EXPECT_EQ(std::count(mouseButtonState, mouseButtonState + MouseButtonStateCount, KeyUp),
              MouseButtonStateCount);
}

TEST(Input, PointerXIsHeldToTheWindowAndYIsNot) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    SDL_WarpMouse(123, 45);
    pointerX[1] = 641;
    pointerY[1] = 900;
    pointerX[2] = pointerY[2] = -7;
    readInput();
    const int expected[3][2] = {{123, 45}, {640, 900}, {0, -7}};
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(pointerX[slot], expected[slot][0]) << slot;
        EXPECT_EQ(pointerY[slot], expected[slot][1]) << slot;
    }
}

TEST(FrameClock, MeasuresFromStartThenFrameToFrameAcrossTheWrap) {
    const Uint32 ticks[] = {1234, 1250, 0xFFFFFFF0u, 0x10u};
    const int expected[] = {1234, 16, static_cast<int>(0xFFFFFFF0u - 1250), 32};
    for (int i = 0; i < 4; ++i) {
        useFakeClock(ticks[i]);
        measureFrame();
        EXPECT_EQ(frameMs, expected[i]) << i;
    }
}

TEST(PointerFocus, FirstCallReportsNothingThenFollowsTheMouseFocus) {
    std::fill(std::begin(pointerActive), std::end(pointerActive), true);
    Uint8 (*states[])() = {focusedAppState, focusedAppState, unfocusedAppState};
    const bool expected[] = {false, true, false};
    for (int call = 0; call < 3; ++call) {
        queryAppState = states[call];
        pointerActive[3] = true;
        EXPECT_EQ(refreshPointerFocus(), expected[call]) << call;
        EXPECT_EQ(pointerActive[0], expected[call]) << call;
        EXPECT_EQ(std::count(pointerActive, pointerActive + PointerSlotCount, true),
                  expected[call] ? 1 : 0);
    }
}

} // namespace
