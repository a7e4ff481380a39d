// The display surface: the 640 x 480 window that every drawing routine targets.
#pragma once

#include <SDL.h>

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

// The 640 x 480 double-buffered display surface; set once by openDisplay, never freed.
extern SDL_Surface* screen;

// Called once by start-up, after SDL is up: opens the window (bitsPerPixel 0 = desktop depth),
// sets its caption and stores it in screen. False when no surface could be had.
bool openDisplay(int bitsPerPixel);
