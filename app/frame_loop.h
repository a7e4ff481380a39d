// Start-up and the frame loop: the top of the game, called by main and by the tests alike.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

constexpr int FrameBudgetMs = 16; // the least length of a frame

extern Mix_Music* music; // the endless music track; absent when it could not be loaded

// Called once by main (and by the tests' start-up): seeds the random draws, brings up SDL, opens
// the window at the given depth (main passes 0, the desktop's), resets the round, starts the
// music and loads the font and the dashboard's media. Prints one line to stderr and returns
// false when SDL or the window cannot be had.
bool startGame(int bitsPerPixel);
// One frame: input, the world while the dashboard is closed, the dashboard, flip (unless the
// paused dashboard drew nothing new), the leftover events, then the wait that makes the frame
// last at least FrameBudgetMs.
void runFrame();
// Called by main after start-up: runs frames until quitRequested is set; the flag is also
// tested before the first frame.
void runGameLoop();

// ---- Exported for the tests only ----

extern long framesShown; // frames flipped to the window since start
