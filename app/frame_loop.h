// Start-up and the frame loop: the top of the game, called by main and by the tests alike.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

constexpr int FrameBudgetMs = 16; // the least length of a frame

extern Mix_Music* music; // the endless music track; absent when it could not be loaded

// How the frame loop waits out the rest of a frame; SDL_Delay unless a test stands in.
extern void (*delayFrame)(Uint32 ms);

// Start-up steps 1 to 11 with the window at the given depth (main passes 0, the desktop's).
// Prints one line to stderr and returns false when SDL or the window cannot be had.
bool startGame(int bitsPerPixel);
// One frame, steps 1 to 8: input, world, dashboard, flip, drain, pacing.
void runFrame();
// Runs frames until quitRequested is set; the flag is also tested before the first frame.
void runGameLoop();
