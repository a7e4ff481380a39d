// Shared set-up for the dashboard's unit tests: a headless game at a chosen depth with a fake
// clock, the mouse focus stood in, and the two backdrop work surfaces present.
#pragma once

#include <SDL.h>

#include <gtest/gtest.h>

#include "dashboard/media.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "support/headless.h"
#include "support/noise_picture.h"

inline Uint8 focusedAppState() {
    return SDL_APPMOUSEFOCUS | SDL_APPINPUTFOCUS | SDL_APPACTIVE;
}
inline Uint8 unfocusedAppState() {
    return SDL_APPINPUTFOCUS | SDL_APPACTIVE;
}

// Starts the game headless in a fresh scratch folder (no images unless asked) with the
// pointer over the window.
inline void startDashboardTest(int bitsPerPixel = 32, bool withMedia = false) {
    enterScratchFolder(withMedia);
    ASSERT_TRUE(startHeadless(bitsPerPixel));
    ASSERT_NE(backdropCapture, nullptr);
    ASSERT_NE(backdropFiltered, nullptr);
    useFakeClock(1000);
    queryAppState = focusedAppState;
}

inline Uint32 mapRgb(SDL_Surface* surface, int red, int green, int blue) {
    return SDL_MapRGB(surface->format, static_cast<Uint8>(red), static_cast<Uint8>(green),
                      static_cast<Uint8>(blue));
}

// The screen's pixel (x, y) as 0xRRGGBB.
inline Uint32 screenRgb(int x, int y) {
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    readRgb(screen, x, y, r, g, b);
    return static_cast<Uint32>(r) << 16 | static_cast<Uint32>(g) << 8 | b;
}

// A font sheet of opaque white cells, so a text shows exactly where its pen went.
inline void useBlockFont() {
    fontImage = SDL_CreateRGBSurface(SDL_SWSURFACE, 1425, 21, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(fontImage, nullptr, SDL_MapRGB(fontImage->format, 255, 255, 255));
}

// The size of the screen's pixel memory.
inline size_t screenBytes() {
    return static_cast<size_t>(screen->pitch) * 480;
}

inline void fillScreen(int red, int green, int blue) {
    SDL_FillRect(screen, nullptr, mapRgb(screen, red, green, blue));
}

// The Escape key as the input snapshot sees it this frame.
inline void pressEscapeNow() {
    keyState[SDLK_ESCAPE] = KeyPressed;
}
inline void releaseKeysNow() {
    keyState[SDLK_ESCAPE] = KeyUp;
}

// Runs one real frame of 16 ms in which Escape goes down; its release reaches the next frame.
inline void runFrameWithEscape() {
    pushKey(SDLK_ESCAPE, true);
    runFrameLasting(16);
    pushKey(SDLK_ESCAPE, false);
}
