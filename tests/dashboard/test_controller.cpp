// The dashboard controller: easing, the Escape toggle over real frames, the frozen world, and
// what every frame draws (cursor under border).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/frame_loop.h"
#include "dashboard/backdrop.h"
#include "dashboard/controller.h"
#include "dashboard_fixture.h"
#include "game/world.h"

TEST(Easing, OpeningFromClosedLandsOn100AfterThe39thStep) {
    const double expected[] = {7.1667, 13.8556, 20.0985, 25.9253};
    double f = 0.0;
    for (int step = 1; step <= 39; ++step) {
        f = OpenStep(f);
        if (step <= 4) {
            EXPECT_NEAR(f, expected[step - 1], 0.00005) << "step " << step;
        }
        if (step == 36) {
            EXPECT_NEAR(f, 98.5312, 0.00005);
        }
        if (step == 38) {
            EXPECT_NEAR(f, 99.6872, 0.00005);
        }
        if (step < 39) {
            EXPECT_LT(f, 100.0) << "step " << step;
        }
    }
    EXPECT_EQ(f, 100.0);
    EXPECT_EQ(OpenStep(100.0), 100.0);
}

TEST(Easing, ClosingFromOpenLandsOn0AfterThe39thStepAndClosedStaysClosed) {
    const double expected[] = {92.8333, 86.1444, 79.9015, 74.0747};
    double f = 100.0;
    for (int step = 1; step <= 39; ++step) {
        f = CloseStep(f);
        if (step <= 4) {
            EXPECT_NEAR(f, expected[step - 1], 0.00005) << "step " << step;
        }
        if (step == 38) {
            EXPECT_NEAR(f, 0.3128, 0.00005);
        }
        if (step < 39) {
            EXPECT_GT(f, 0.0) << "step " << step;
        }
    }
    EXPECT_EQ(f, 0.0);
    EXPECT_EQ(CloseStep(0.0), 0.0);
}

TEST(SlideRule, RunsFromClosedToOpenTruncating) {
    dashboardFraction = 0.0;
    EXPECT_EQ(slidePosition(595, 115), 595);
    EXPECT_EQ(slidePosition(61, 0), 61);
    dashboardFraction = OpenStep(0.0);
    EXPECT_EQ(slidePosition(595, 115), 560);
    EXPECT_EQ(slidePosition(61, 0), 56);
    dashboardFraction = 100.0;
    EXPECT_EQ(slidePosition(595, 115), 115);
    EXPECT_EQ(slidePosition(61, 0), 0);
}

namespace {

std::vector<Uint8> snapshot(const Uint8* bytes) {
    return std::vector<Uint8>(bytes, bytes + BackdropBytes);
}

std::vector<Uint8> surfaceBytes(SDL_Surface* surface) {
    const auto* bytes = static_cast<const Uint8*>(surface->pixels);
    return std::vector<Uint8>(bytes,
                              bytes + static_cast<std::ptrdiff_t>(surface->pitch) * surface->h);
}

class DashboardFrames : public ::testing::Test {
  protected:
    void SetUp() override {
        startDashboardTest(32);
        // Let the world run a while so that rings are on the screen.
        for (int i = 0; i < 30; ++i) {
            runFrameLasting(16);
        }
        ASSERT_GT(ringCount, 0);
    }
};

} // namespace

TEST_F(DashboardFrames, EscapeAtClosedCapturesThatFrameAndFreezesTheWorldFromTheNext) {
    runFrameWithEscape();
    EXPECT_TRUE(dashboardOpen);
    EXPECT_NEAR(dashboardFraction, 7.1667, 0.00005);
    // No image is loaded, so the screen still shows just the world frame that was captured.
    EXPECT_EQ(surfaceBytes(backdropCapture), surfaceBytes(screen));
    const double radius = rings[ringCount - 1]->radius;
    const int count = ringCount;
    for (int i = 0; i < 10; ++i) {
        runFrameLasting(16);
    }
    EXPECT_EQ(rings[ringCount - 1]->radius, radius);
    EXPECT_EQ(ringCount, count);
    EXPECT_EQ(frameMs, 16); // the clock is still taken while frozen
}

TEST_F(DashboardFrames, SecondEscapeWhileOpeningReversesAtOnce) {
    runFrameWithEscape();
    runFrameLasting(16);
    const double before = dashboardFraction;
    EXPECT_NEAR(before, 13.8556, 0.00005);
    runFrameWithEscape();
    EXPECT_FALSE(dashboardOpen);
    EXPECT_DOUBLE_EQ(dashboardFraction, CloseStep(before));
    while (dashboardFraction != 0.0) {
        runFrameLasting(16);
    }
    // Closed again: the world moves on the next frame.
    const double radius = rings[ringCount - 1]->radius;
    runFrameLasting(16);
    runFrameLasting(16);
    EXPECT_NE(rings[ringCount - 1]->radius, radius);
}

TEST_F(DashboardFrames, EscapeWhileClosingReopensWithoutANewCapture) {
    runFrameWithEscape();
    for (int i = 0; i < 40; ++i) {
        runFrameLasting(16);
    }
    EXPECT_EQ(dashboardFraction, 100.0);
    const std::vector<Uint8> filtered = snapshot(filteredRgb);
    const std::vector<Uint8> captured = snapshot(capturedRgb);
    const std::vector<Uint8> capture = surfaceBytes(backdropCapture);
    runFrameWithEscape();
    runFrameLasting(16);
    EXPECT_FALSE(dashboardOpen);
    EXPECT_GT(dashboardFraction, 0.0);
    runFrameWithEscape();
    EXPECT_TRUE(dashboardOpen);
    // The screen now shows the pale backdrop; a new capture would have taken that in.
    EXPECT_EQ(snapshot(filteredRgb), filtered);
    EXPECT_EQ(snapshot(capturedRgb), captured);
    EXPECT_EQ(surfaceBytes(backdropCapture), capture);
}

TEST_F(DashboardFrames, EscapeRightAfterClosingRunsTheWorldAndCapturesAgain) {
    runFrameWithEscape();
    runFrameLasting(16);
    runFrameWithEscape();
    while (dashboardFraction != 0.0) {
        runFrameLasting(16);
    }
    const double radius = rings[ringCount - 1]->radius;
    const std::vector<Uint8> captured = snapshot(capturedRgb);
    runFrameWithEscape();
    EXPECT_NE(rings[ringCount - 1]->radius, radius);
    EXPECT_NE(snapshot(capturedRgb), captured);
    EXPECT_EQ(surfaceBytes(backdropCapture), surfaceBytes(screen));
}

namespace {

// A keyed overlay and a cursor sheet of our own, so the order of the two can be seen.
void useOwnBorderAndCursor() {
    borderImage = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(borderImage, nullptr, mapRgb(borderImage, 0, 255, 255));
    SDL_Rect mark = {100, 100, 5, 5};
    SDL_FillRect(borderImage, &mark, mapRgb(borderImage, 255, 0, 0));
    SDL_SetColorKey(borderImage, SDL_SRCCOLORKEY, mapRgb(borderImage, 0, 255, 255));
    borderRuns = findOpaqueRuns(borderImage);
    cursorImage = SDL_CreateRGBSurface(SDL_SWSURFACE, 1536, 96, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(cursorImage, nullptr, mapRgb(cursorImage, 0, 0, 255));
    SDL_Rect cell = {288, 0, 96, 96};
    SDL_FillRect(cursorImage, &cell, mapRgb(cursorImage, 0, 255, 0));
}

constexpr Uint32 BorderRed = 0xFF0000;
constexpr Uint32 CursorGreen = 0x00FF00;

bool cursorGreenAt(int x, int y) {
    return screenRgb(x, y) == CursorGreen;
}

} // namespace

TEST(DashboardOverlay, CursorFollowsTheMouseUnderTheBorderInEveryFrame) {
    startDashboardTest(32);
    useOwnBorderAndCursor();
    SDL_WarpMouse(102, 102);
    runFrameLasting(16);
    // The very first frame never shows the cursor; the border is there.
    EXPECT_EQ(screenRgb(100, 100), BorderRed);
    EXPECT_FALSE(cursorGreenAt(60, 60));
    runFrameLasting(16);
    EXPECT_EQ(screenRgb(100, 100), BorderRed); // border over cursor
    EXPECT_EQ(screenRgb(54, 54), CursorGreen); // cell 3's top-left corner at mouse - 48
    EXPECT_EQ(screenRgb(149, 149), CursorGreen);
    SDL_WarpMouse(300, 300);
    runFrameLasting(16);
    EXPECT_EQ(screenRgb(252, 252), CursorGreen);
    EXPECT_EQ(screenRgb(100, 100), BorderRed);
    // Open too: the cursor is drawn over the backdrop and the border over both.
    runFrameWithEscape();
    runFrameLasting(16);
    EXPECT_EQ(screenRgb(347, 347), CursorGreen);
    EXPECT_EQ(screenRgb(100, 100), BorderRed);
}

TEST(DashboardOverlay, NoCursorWhileTheWindowLacksTheMouse) {
    startDashboardTest(32);
    useOwnBorderAndCursor();
    queryAppState = unfocusedAppState;
    SDL_WarpMouse(300, 300);
    runFrameLasting(16);
    runFrameLasting(16);
    EXPECT_FALSE(cursorGreenAt(300, 300));
    EXPECT_FALSE(pointerActive[0]);
}

TEST(DashboardMusic, PausesWithTheOpeningEscapeAndResumesAfterClosing) {
    startDashboardTest(32, true);
    ASSERT_NE(music, nullptr);
    runFrameLasting(16);
    EXPECT_EQ(Mix_PausedMusic(), 0);
    runFrameWithEscape();
    EXPECT_NE(Mix_PausedMusic(), 0);
    runFrameLasting(16);
    runFrameWithEscape(); // closing starts; the world stays frozen until the fraction is 0
    while (dashboardFraction != 0.0) {
        EXPECT_NE(Mix_PausedMusic(), 0);
        runFrameLasting(16);
    }
    EXPECT_NE(Mix_PausedMusic(), 0); // the closing frame itself runs no world update
    runFrameLasting(16);
    EXPECT_EQ(Mix_PausedMusic(), 0);
}
