// Test support: scratch folders, headless start-up, a clock the test controls, queued input, the
// window's focus stood in, font sheets whose cells can be read back, and files.
#pragma once

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/display.h"

// Makes a fresh scratch folder (removed at exit) the working folder, Media linked in if asked.
std::string enterScratchFolder(bool withMedia = true);
// Starts the game as main does, on the dummy drivers, at the given depth (0: the driver's).
bool startHeadless(int bitsPerPixel = 32);
// Both, then the clock stood in from 1000 ms and the pointer over the window.
bool startInScratchFolder(bool withMedia = true, int bitsPerPixel = 32);

// Stand in for the frame loop's clock and wait (time moves only when the test says so); run one
// real frame after moving the clock by ms.
void useFakeClock(Uint32 startMs = 0);
void runFrameLasting(Uint32 ms);

// Queue an event as if the player pressed or released a key or a mouse button; read a surface's
// pixel as 0xRRGGBB through its own format, or all its bytes.
void pushKey(int symbol, bool down);
void pushButton(int button, bool down, int x = 0, int y = 0);
Uint32 rgbAt(int x, int y, SDL_Surface* surface = screen);
std::vector<Uint8> bytesOf(SDL_Surface* surface = screen);

// Puts in place of the plain and tinted font sheets sheets whose cell i is opaque red i, green
// the sheet's mark, blue 7; cellAt reads back the cell at (x, y) of the screen, or NoCell.
constexpr Uint8 PlainMark = 200;
constexpr Uint8 TintedMark = 100;
constexpr int NoCell = -1;
void useNumberedSheets();
int cellAt(int x, int y, Uint8 mark = PlainMark);

// Up to n frames of ms with the pointer at (x, y), clicking on every other one unless told not
// to, until done; true when done. Escape, then frames until the dashboard is fully open (100)
// or closed (0); true when it got there.
bool play(int n, Uint32 ms, int x, int y, const std::function<bool()>& done, bool click = true);
bool easeDashboardTo(double fraction);

// Stand in for the window's focus (queryAppState): with and without the mouse over the window.
Uint8 focusedAppState();
Uint8 unfocusedAppState();

// The whole content of a file; a file given a fresh content; what act returns when writes may
// take only bytes in all (< 0: no limit), as on a full disk.
std::string readWhole(const std::string& path);
void writeWhole(const std::string& path, const std::string& text);
bool underSizeLimit(long bytes, const std::function<bool()>& act);
