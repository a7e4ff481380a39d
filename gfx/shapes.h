// Filled shapes of the tunnel: discs and the whole screen with a circular hole, row by row.
#pragma once

#include <SDL.h>

// The raw colour every primitive fills with; the scene sets it before each shape. Starts at 0.
extern Uint32 fillColour;

// The disc of radius r about (cx, cy), clipped to 640 x 480. Caller: the tunnel scene, for the
// enemies. r 0 or below draws nothing.
void fillDisc(int r, int cx, int cy);
// The whole screen except a hole of radius r about (cx, cy). Caller: the scene, for each wall.
// The hole lacks its top and bottom rows and is narrower on rows the iteration writes twice.
void fillOutsideDisc(int r, int cx, int cy);
// Building blocks, upper row (only when dy is not 0) before lower: the span [cx - dx, cx + dx)
// on rows cy - dy and cy + dy, and the parts of those rows outside it.
void fillRowSpans(int cx, int cy, int dx, int dy);
void fillRowOutside(int cx, int cy, int dx, int dy);
