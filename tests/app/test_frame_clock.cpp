// The frame clock and the pointer focus.
#include <gtest/gtest.h>

#include "platform/frame_clock.h"
#include "support/headless.h"

namespace {

Uint8 focusState = 0;
Uint8 standInAppState() {
    return focusState;
}

} // namespace

TEST(FrameClock, FirstMeasureCountsFromStartAndWrapsUnsigned) {
    useFakeClock(1234);
    measureFrame();
    EXPECT_EQ(frameMs, 1234);
    advanceFakeClock(16);
    measureFrame();
    EXPECT_EQ(frameMs, 16);
    lastFrameTicks = 0xFFFFFFF0u;
    useFakeClock(0x10u);
    measureFrame();
    EXPECT_EQ(frameMs, 32);
    EXPECT_EQ(lastFrameTicks, 0x10u);
}

TEST(PointerFocus, FirstCallReportsNothingThenFollowsTheMouseFocus) {
    queryAppState = standInAppState;
    focusState = SDL_APPMOUSEFOCUS | SDL_APPACTIVE;
    for (bool& active : pointerActive) {
        active = true;
    }
    EXPECT_FALSE(refreshPointerFocus());
    for (bool active : pointerActive) {
        EXPECT_FALSE(active);
    }
    EXPECT_TRUE(refreshPointerFocus());
    EXPECT_TRUE(pointerActive[0]);
    EXPECT_FALSE(pointerActive[1]);
    focusState = SDL_APPINPUTFOCUS | SDL_APPACTIVE;
    pointerActive[3] = true;
    EXPECT_FALSE(refreshPointerFocus());
    for (bool active : pointerActive) {
        EXPECT_FALSE(active);
    }
}
