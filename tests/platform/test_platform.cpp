// The platform layer: the input snapshot's state words and pointer, the frame clock and focus,
// and the video driver the window asks for.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"

// Rows: Escape "K" or the left button "L" going down "+" or up "-" ("|" ends a frame), then its
// word after each frame. A tap within one frame reads pressed, then up; events count in order.
TEST(Input, StateWordsFollowTheEventsOfEachFrameAndNoTapIsLost) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    // clang-format off
    const std::pair<const char*, const char*> rows[] = {
        {"K+|||", "211"}, {"K+||K-|", "210"}, {"K+K-||", "20"}, {"K+K-|K+|", "22"},
        {"K+K-K+||", "21"}, {"K+|K-K+K-||", "220"}, {"L+|L-L+||", "221"}, {"L+L-|||", "200"},
        {"L+||L-|", "210"}};
    // clang-format on
    for (const auto& [events, expected] : rows) {
        std::fill(std::begin(keyState), std::end(keyState), KeyUp);
        std::fill(std::begin(mouseButtonState), std::end(mouseButtonState), KeyUp);
        std::string words;
        for (const char* c = events; *c != '\0'; c += *c == '|' ? 1 : 2) {
            if (*c == '|') {
                readInput();
                words += static_cast<char>(
                    '0' + (*events == 'K' ? keyState[SDLK_ESCAPE] : mouseButtonState[1]));
            } else {
                *c == 'K' ? pushKey(SDLK_ESCAPE, c[1] == '+')
                          : pushButton(SDL_BUTTON_LEFT, c[1] == '+');
            }
        }
        EXPECT_EQ(words, expected) << events;
    }
    for (const int x : {0, 481, 639}) { // the right of the window aims and clicks too
        SDL_WarpMouse(static_cast<Uint16>(x), 479);
        readInput();
        EXPECT_EQ(pointerX[0], x);
    }
}

Uint8 windowState = 0;

// Rows: the clock at a frame's measure, then the frame's length: never more than 100 ms (the
// start-up, a stop of seconds, a jump across the wrap), and the frame after a gap is a frame
// again; the window's state, then whether the pointer counts as over it (never at the first
// call).
TEST(FrameClock, MeasuresFrameToFrameUpToTheCapAndTheFocusFollowsTheMouse) {
    queryAppState = [] { return windowState; };
    const Uint8 in = focusedAppState(), out = unfocusedAppState();
    const std::tuple<Uint32, int, Uint8, bool> rows[] = {
        {1234, 100, in, false},         {1250, 16, SDL_APPMOUSEFOCUS, true},
        {1349, 99, out, false},         {1449, 100, in, true},
        {1550, 100, in, true},          {6550, 100, in, true},
        {6566, 16, in, true},           {6566, 0, in, true},
        {0xFFFFFFF0u, 100, out, false}, {0x10u, 32, in, true}};
    for (const auto& [ticks, expected, state, over] : rows) {
        useFakeClock(ticks);
        measureFrame();
        EXPECT_EQ(frameMs, expected) << ticks;
        windowState = state;
        EXPECT_TRUE(refreshPointerFocus() == over && pointerActive[0] == over) << ticks;
    }
}

// Rows: SDL_VIDEODRIVER, DISPLAY, WAYLAND_DISPLAY (nullptr unset), the driver SDL is told to take.
TEST(Display, ANamedDriverStandsElseOnlyAWindowSystemTheEnvironmentNames) {
    const char* const rows[][4] = {{"dummy", nullptr, nullptr, "dummy"},
                                   {"fbcon", ":0", "wayland-0", "fbcon"},
                                   {"", ":0", nullptr, "x11"},
                                   {nullptr, ":5", "wayland-0", "x11"},
                                   {nullptr, "", "wayland-0", "wayland"},
                                   {nullptr, nullptr, "wayland-1", "wayland"},
                                   {nullptr, nullptr, nullptr, nullptr},
                                   {"", "", "", nullptr}};
    for (const auto& row : rows) {
        EXPECT_STREQ(videoDriverFor(row[0], row[1], row[2]), row[3]) << "row " << &row - rows;
    }
}

// Rows: whether the steps follow the frame's length (the page), the frame's length in ms, then
// how many times its once-a-frame steps run: the desktop always once; the page rounds to 16 ms
// steps, never none, and never past the 100 ms cap.
TEST(FrameClock, SlowPageFramesRepeatTheOnceAFrameSteps) {
    const std::tuple<bool, Uint32, int> rows[] = {
        {false, 67, 1}, {false, 100, 1}, {true, 0, 1},   {true, 7, 1},  {true, 16, 1},
        {true, 17, 1},  {true, 23, 1},   {true, 24, 2},  {true, 33, 2}, {true, 40, 3},
        {true, 67, 4},  {true, 100, 6},  {true, 5000, 6}};
    for (const auto& [follow, length, expected] : rows) {
        stepsFollowFrameLength = follow;
        for (const Uint32 ticks : {10000u, 10000 + length}) {
            useFakeClock(ticks), measureFrame();
        }
        EXPECT_EQ(frameSteps, expected) << follow << " " << length;
    }
    stepsFollowFrameLength = false;
}
