// Shared set-up for the dashboard's unit tests: a headless game with a fake clock and the mouse
// over the window, stand-in sheets of one colour, and the screen read back as 0xRRGGBB.
#pragma once

#include <SDL.h>

#include <gtest/gtest.h>

#include "dashboard/media.h"
#include "dashboard/state.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"
#include "support/play.h"

// Starts the game headless in the working folder, clock stood in, pointer over the window.
inline void startHere() {
    ASSERT_TRUE(startHeadless(32));
    useFakeClock(1000);
    queryAppState = focusedAppState;
}
inline void startDashboardTest(bool withMedia = false) {
    enterScratchFolder(withMedia);
    startHere();
}

inline Uint32 screenRgb(int x, int y) {
    Uint8 r = 0, g = 0, b = 0;
    readRgb(screen, x, y, r, g, b);
    return static_cast<Uint32>(r) << 16 | static_cast<Uint32>(g) << 8 | b;
}

// A 32-bit sheet whose raw values are 0xRRGGBB, filled with one colour.
inline SDL_Surface* solidSheet(int w, int h, Uint32 rgb) {
    SDL_Surface* sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(sheet, nullptr, rgb);
    return sheet;
}

// One 16 ms frame with Escape pressed in it; the release reaches the next frame.
inline void runFrameWithEscape() {
    pushKey(SDLK_ESCAPE, true);
    runFrameLasting(16);
    pushKey(SDLK_ESCAPE, false);
}
