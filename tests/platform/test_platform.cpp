// The platform layer: the input snapshot's state words and pointer, the frame clock and focus,
// and the video driver the window asks for.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

// Rows: the clock at a frame's measure, whether steps follow the frame's length (the page); the
// frame's length, at most 100 ms (start-up, a stop, the wrap), and its steps: once on the desktop,
// on the page its length in 16 ms steps, rounded, never none; the window's state, and whether the
// pointer counts as over it (never at the first call).
TEST(FrameClock, MeasuresFramesUpToTheCapStepsThemAndTheFocusFollowsTheMouse) {
    queryAppState = [] { return windowState; };
    const Uint8 in = focusedAppState(), out = unfocusedAppState(), mouse = SDL_APPMOUSEFOCUS;
    const struct {
        Uint32 ticks;
        bool page;
        int length, steps;
        Uint8 state;
        bool over;
    } rows[] = {
        {1234, 0, 100, 1, in, 0}, {1250, 0, 16, 1, mouse, 1}, {1349, 0, 99, 1, out, 0},
        {1449, 0, 100, 1, in, 1}, {1550, 0, 100, 1, in, 1},   {6550, 0, 100, 1, in, 1},
        {6566, 0, 16, 1, in, 1},  {6566, 0, 0, 1, in, 1},     {0xFFFFFFF0u, 0, 100, 1, out, 0},
        {0x10, 0, 32, 1, in, 1},  {83, 0, 67, 1, in, 1},      {83, 1, 0, 1, in, 1},
        {90, 1, 7, 1, in, 1},     {106, 1, 16, 1, in, 1},     {123, 1, 17, 1, in, 1},
        {146, 1, 23, 1, in, 1},   {170, 1, 24, 2, in, 1},     {203, 1, 33, 2, in, 1},
        {243, 1, 40, 3, in, 1},   {310, 1, 67, 4, in, 1},     {410, 1, 100, 6, in, 1},
        {5410, 1, 100, 6, in, 1}};
    for (const auto& row : rows) {
        stepsFollowFrameLength = row.page;
        useFakeClock(row.ticks), measureFrame();
        EXPECT_TRUE(frameMs == row.length && frameSteps == row.steps) << row.ticks;
        windowState = row.state;
        EXPECT_TRUE(refreshPointerFocus() == row.over && pointerActive[0] == row.over) << row.ticks;
    }
    stepsFollowFrameLength = false;
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
