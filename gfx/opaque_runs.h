// A colour-keyed picture drawn from its opaque runs: the stretches of each row that are not the
// key colour, found once when the picture is loaded and copied straight into the target. And
// the part of an alpha picture that shows at all.
#pragma once

#include <SDL.h>

#include <vector>

// Called once by the media loading for a keyed surface in the display format: its opaque runs,
// row by row and left to right, each a rectangle one row high from the first pixel that is not
// the key to the next key pixel or the row's end. A surface with no colour key is one run per
// row.
std::vector<SDL_Rect> findOpaqueRuns(SDL_Surface* keyed);

// Called each frame to lay the keyed surface at (0, 0) over target: the same bytes as
// SDL_BlitSurface with the key, taken by copying the runs (clipped to the target's clip
// rectangle). When the two formats differ or the target must be locked, SDL_BlitSurface does it.
void drawOpaqueRuns(SDL_Surface* keyed, const std::vector<SDL_Rect>& runs, SDL_Surface* target);

// Called once by the media loading for a cell of a surface with an alpha channel: the smallest
// rectangle inside the cell (clipped to the surface) that holds every pixel whose alpha is not
// 0; width and height 0 when there is none. Blitting just that rectangle leaves a screen of two
// or more bytes a pixel as blitting the whole cell would. A surface without per-pixel alpha (or
// with a colour key) has its whole cell returned, clipped.
SDL_Rect findVisibleBox(SDL_Surface* image, SDL_Rect cell);
