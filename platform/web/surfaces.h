// The page's surfaces: plain memory in classic SDL 1.2's layout, so the game reads and writes
// them directly as on the desktop. Shared by the page's blits, video and files.
#pragma once

#include <SDL.h>

// The display's format on the page: 32 bits, red in bits 16-23, green 8-15, blue 0-7, the
// format classic SDL 1.2 gives a 24-bit desktop, so the game draws the same bytes.
constexpr Uint32 DisplayRedMask = 0x00FF0000;
constexpr Uint32 DisplayGreenMask = 0x0000FF00;
constexpr Uint32 DisplayBlueMask = 0x000000FF;

// Read and write one raw pixel of a surface of 2, 3 or 4 bytes a pixel. Used by the blits and
// the format conversions.
Uint32 readRawPixel(const SDL_Surface* surface, int x, int y);
void writeRawPixel(SDL_Surface* surface, int x, int y, Uint32 value);

// The part of rectangle a inside rectangle b, into out; false, with out empty, when none. The
// one clip rule of the page's blits, fills and clip rectangles.
bool intersectRects(const SDL_Rect& a, const SDL_Rect& b, SDL_Rect& out);
