// The dashboard over real frames: the Escape toggle, 39 frames of easing either way, one capture
// per opening from closed, the frozen world, the music, and what every frame draws.
#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <vector>

#include "app/frame_loop.h"
#include "dashboard/backdrop.h"
#include "dashboard/header_footer.h"
#include "dashboard_fixture.h"
#include "game/world.h"
#include "gfx/pixels.h"

namespace {

constexpr Uint32 Red = 0xFF0000, Green = 0x00FF00, Yellow = 0xFFFF00;

// Escape pressed in the first of the frames; then the state after the last frame: whether the
// backdrop was captured anew, the world moved, the header band was drawn and the local time
// taken, and the music is paused.
struct Step {
    bool escape;
    int frames;
    bool open;
    double fraction;
    bool captures, worldMoves, pieces, musicPaused;
};

// A press shows in its frame and its release in the next, so two presses are two frames apart.
const Step Steps[] = {
    {true, 1, true, 107.5 / 15, true, true, true, true}, // opens on this very frame
    {false, 1, true, 13.8556, false, false, true, true},
    {true, 2, false, 11.1031, false, false, true, true}, // a second Escape reverses at once
    {true, 2, true, 23.5276, false, false, true, true},  // Escape while closing: no capture
    {false, 39, true, 100.0, false, false, true, true},
    {true, 1, false, 92.8333, false, false, true, true},
    {false, 37, false, 0.3128, false, false, true, true}, // 38 steps down
    {false, 1, false, 0.0, false, false, false, true},    // the 39th: only the backdrop
    {false, 1, false, 0.0, false, true, false, false},    // the world runs, the music plays
    {true, 1, true, 107.5 / 15, true, true, true, true},  // Escape at once: a new capture
    {false, 37, true, 99.6872, false, false, true, true}, // 38 steps up
    {false, 1, true, 100.0, false, false, true, true},    // the 39th
};

} // namespace

TEST(DashboardFrames, EscapeOpensClosesAndReopensFrameByFrame) {
    startDashboardTest(true);
    ASSERT_NE(music, nullptr);
    // Our own border (a red mark over the cursor), cursor (cell 3 green) and a tall yellow band.
    borderImage = solidSheet(640, 480, 0x00FFFF);
    SDL_SetColorKey(borderImage, SDL_SRCCOLORKEY, 0x00FFFF);
    SDL_Rect mark = {100, 100, 5, 5}, cell = {288, 0, 96, 96};
    SDL_FillRect(borderImage, &mark, Red);
    cursorImage = solidSheet(1536, 96, 0);
    SDL_FillRect(cursorImage, &cell, Green);
    topBottomBorderImage = solidSheet(640, 200, Yellow);
    SDL_WarpMouse(102, 102);
    runFrameLasting(16);
    EXPECT_NE(screenRgb(60, 60), Green); // no cursor in the very first frame
    for (int i = 0; i < 30; ++i) {
        runFrameLasting(16);
    }
    std::vector<Uint8> captured(capturedRgb, capturedRgb + BackdropBytes);
    for (const Step& step : Steps) {
        SCOPED_TRACE(::testing::Message() << "step " << &step - Steps);
        const double angle = spawnAngle;
        localTimeKnown = false;
        for (int frame = 0; frame < step.frames; ++frame) {
            frame == 0 && step.escape ? runFrameWithEscape() : runFrameLasting(16);
        }
        EXPECT_EQ(dashboardOpen, step.open);
        EXPECT_NEAR(dashboardFraction, step.fraction, 0.00005);
        const std::vector<Uint8> now(capturedRgb, capturedRgb + BackdropBytes);
        EXPECT_EQ(now != captured, step.captures);
        captured = now;
        for (int x = 0; step.captures && x < 640; ++x) { // the world as drawn in this frame
            ASSERT_EQ(getPixel(backdropCapture, x, 300), getPixel(screen, x, 300)) << x;
        }
        EXPECT_EQ(spawnAngle != angle, step.worldMoves);
        EXPECT_EQ(screenRgb(20, 30) == Yellow, step.pieces);
        EXPECT_EQ(localTimeKnown, step.pieces);
        EXPECT_EQ(Mix_PausedMusic() != 0, step.musicPaused);
        EXPECT_EQ(frameMs, 16);                // the clock is taken in every frame, frozen or not
        EXPECT_EQ(screenRgb(54, 54), Green);   // the cursor cell from mouse - 48 ...
        EXPECT_EQ(screenRgb(149, 149), Green); // ... to mouse + 47
        EXPECT_EQ(screenRgb(100, 100), Red);   // and the border over it
    }
    queryAppState = [] { return Uint8(SDL_APPINPUTFOCUS | SDL_APPACTIVE); };
    runFrameLasting(16);
    EXPECT_NE(screenRgb(60, 60), Green); // no cursor while the window lacks the mouse
    EXPECT_EQ(screenRgb(100, 100), Red);
}
