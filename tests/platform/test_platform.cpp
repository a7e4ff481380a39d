// The platform layer: the input snapshot's state words and the frame clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/frame_clock.h"
#include "support/headless.h"

// Rows: Escape "K" or the left button "L" going down "+" or up "-" ("|" ends a frame), its word.
TEST(Input, StateWordsFollowTheEventsOfEachFrame) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    const std::pair<const char*, int> rows[] = {
        {"K+|", KeyPressed}, {"K+|||", KeyHeld}, {"K+||K-|", KeyUp}, {"K+K-|", KeyUp},
        {"L+|", KeyPressed}, {"L+||", KeyHeld},  {"L+||L-|", KeyUp}, {"L+|L-L+|", KeyUp}};
    for (const auto& [events, expected] : rows) {
        std::fill(std::begin(keyState), std::end(keyState), KeyUp);
        std::fill(std::begin(mouseButtonState), std::end(mouseButtonState), KeyUp);
        for (const char* c = events; *c != '\0'; c += *c == '|' ? 1 : 2) {
            *c == '|'   ? readInput()
            : *c == 'K' ? pushKey(SDLK_ESCAPE, c[1] == '+')
                        : pushButton(SDL_BUTTON_LEFT, c[1] == '+');
        }
        EXPECT_EQ(*events == 'K' ? keyState[SDLK_ESCAPE] : mouseButtonState[1], expected) << events;
    }
}

// Rows: the clock at a frame's measure, then the frame's length: from 0 first, then across the
// wrap.
TEST(FrameClock, MeasuresFromStartThenFrameToFrameAcrossTheWrap) {
    const std::pair<Uint32, int> rows[] = {
        {1234, 1234}, {1250, 16}, {0xFFFFFFF0u, static_cast<int>(0xFFFFFFF0u - 1250)}, {0x10u, 32}};
    for (const auto& [ticks, expected] : rows) {
        useFakeClock(ticks);
        measureFrame();
        EXPECT_EQ(frameMs, expected) << ticks;
    }
}
