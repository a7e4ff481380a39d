// The display surface and the quit flag: the bottom layer that every drawing routine targets.
#pragma once

#include <SDL.h>

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

// The 640 x 480 double-buffered display surface; set once by openDisplay, never freed.
extern SDL_Surface* screen;
// Set by a quit event (frame loop drain) or the dashboard's "Exit" button; nothing clears it.
extern bool quitRequested;

// Start-up, steps 4 and 5: opens the window (bitsPerPixel 0 = desktop depth) with its caption
// and stores it in screen. Called once by startGame; false when no surface could be had.
bool openDisplay(int bitsPerPixel);
