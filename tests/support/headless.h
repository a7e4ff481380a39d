// Test support: scratch working folders, headless start-up and a clock the test controls.
#pragma once

#include <SDL.h>

#include <string>

// Makes a fresh scratch folder under the system's temporary folder (removed when the test
// process ends), links the project's Media into it when asked, and makes it the working folder.
std::string enterScratchFolder(bool withMedia = true);
// Starts the game exactly as main does, on SDL's dummy drivers, with the window at the given
// depth (0 = what the driver offers). Returns startGame's result.
bool startHeadless(int bitsPerPixel = 32);

// Stand in for the frame loop's clock and delay: time moves only when the test says so, so a
// frame lasts exactly as long as the test wants and no frame sleeps.
void useFakeClock(Uint32 startMs = 0);
void advanceFakeClock(Uint32 ms);
// Runs one real frame after moving the fake clock by ms (the frame clock then measures it).
void runFrameLasting(Uint32 ms);

// Queue an SDL event as if the player had pressed or released a key or a mouse button.
void pushKey(int symbol, bool down);
void pushButton(int button, bool down, int x = 0, int y = 0);
// Reads the pixel at (x, y) of a surface as red, green, blue through its own format.
void readRgb(SDL_Surface* surface, int x, int y, Uint8& red, Uint8& green, Uint8& blue);
