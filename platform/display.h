// The display surface: the 640 x 480 window that every drawing routine targets, and the choice
// of a video driver that shows it in a real window.
#pragma once

#include <SDL.h>

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

// The 640 x 480 double-buffered display surface; set once by openDisplay, never freed.
extern SDL_Surface* screen;

// Called once by start-up before SDL_Init. A driver the player named in SDL_VIDEODRIVER stands;
// otherwise SDL is told to take the window system the environment names (X11 through DISPLAY,
// else Wayland through WAYLAND_DISPLAY), so that it never falls back to drawing in the text
// terminal or nowhere. False, with why in SDL's error, when there is no window system to ask.
bool chooseVideoDriver();
// Called once by start-up, after SDL is up: opens the window (bitsPerPixel 0 = desktop depth),
// sets its caption and stores it in screen. False when no surface could be had.
bool openDisplay(int bitsPerPixel);

// ---- Exported for the tests only ----

// The driver chooseVideoDriver sets, from the values of SDL_VIDEODRIVER, DISPLAY and
// WAYLAND_DISPLAY (nullptr for unset): the player's own when not empty, "x11", "wayland", or
// nullptr for none. Called by chooseVideoDriver.
const char* videoDriverFor(const char* named, const char* x11Display, const char* waylandDisplay);
