// Shared set-up for the dashboard's unit tests: a headless game with a fake clock and the mouse
// over the window, stand-in sheets of one colour, and stretches of play through real frames.
#pragma once

#include <SDL.h>

#include <gtest/gtest.h>

#include <array>

#include "dashboard/media.h"
#include "dashboard/state.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "support/headless.h"
#include "support/play.h"

// Starts the game headless in a fresh scratch folder (Media linked when asked), pointer inside.
inline void startDashboardTest(int bitsPerPixel = 32, bool withMedia = false) {
    enterScratchFolder(withMedia);
    ASSERT_TRUE(startHeadless(bitsPerPixel));
    useFakeClock(1000);
    queryAppState = focusedAppState;
}

// The screen's pixel (x, y) as 0xRRGGBB.
inline Uint32 screenRgb(int x, int y) {
    Uint8 r = 0, g = 0, b = 0;
    readRgb(screen, x, y, r, g, b);
    return static_cast<Uint32>(r) << 16 | static_cast<Uint32>(g) << 8 | b;
}

inline void paintScreen(Uint32 rgb) {
    SDL_FillRect(screen, nullptr,
                 SDL_MapRGB(screen->format, Uint8(rgb >> 16), Uint8(rgb >> 8), Uint8(rgb)));
}

// A 32-bit sheet whose raw values are 0xRRGGBB, filled with one colour.
inline SDL_Surface* solidSheet(int w, int h, Uint32 rgb) {
    SDL_Surface* sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(sheet, nullptr, rgb);
    return sheet;
}

// Left, top, right, bottom of the screen pixels in rows top..bottom that pass the test; all -1
// when none does.
using Box = std::array<int, 4>;
inline Box boxWhere(int top, int bottom, bool (*hit)(Uint32 rgb)) {
    Box box = {640, 480, -1, -1};
    for (int y = top; y <= bottom; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (hit(screenRgb(x, y))) {
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), y};
            }
        }
    }
    return box[2] < 0 ? Box{-1, -1, -1, -1} : box;
}

// One 16 ms frame with Escape pressed in it (released for the next), or a left click at (x, y).
inline void runFrameWithEscape() {
    pushKey(SDLK_ESCAPE, true);
    runFrameLasting(16);
    pushKey(SDLK_ESCAPE, false);
}
inline void runFrameWithClick(int x, int y) {
    SDL_WarpMouse(static_cast<Uint16>(x), static_cast<Uint16>(y));
    pushButton(SDL_BUTTON_LEFT, true, x, y);
    runFrameLasting(16);
    pushButton(SDL_BUTTON_LEFT, false, x, y);
}

// Play with clicks, then the dashboard fully open; false if it never got there.
inline bool playThenOpenDashboard() {
    for (int i = 0; i < 30; ++i) {
        runFrameWithClick(320, 240);
    }
    runFrameWithEscape();
    for (int i = 0; i < 40 && dashboardFraction != 100.0; ++i) {
        runFrameLasting(16);
    }
    return dashboardFraction == 100.0;
}

// ---- Left from the old files; goes with the last of them ----
#include "support/noise_picture.h"
inline Uint8 unfocusedAppState() {
    return SDL_APPINPUTFOCUS | SDL_APPACTIVE;
}
inline Uint32 mapRgb(SDL_Surface* surface, int red, int green, int blue) {
    return SDL_MapRGB(surface->format, static_cast<Uint8>(red), static_cast<Uint8>(green),
                      static_cast<Uint8>(blue));
}
inline void useBlockFont() {
    fontImage = solidSheet(1425, 21, 0xFFFFFF);
}
inline size_t screenBytes() {
    return static_cast<size_t>(screen->pitch) * 480;
}
inline void fillScreen(int red, int green, int blue) {
    SDL_FillRect(screen, nullptr, mapRgb(screen, red, green, blue));
}
inline void pressEscapeNow() {
    keyState[SDLK_ESCAPE] = KeyPressed;
}
inline void releaseKeysNow() {
    keyState[SDLK_ESCAPE] = KeyUp;
}
