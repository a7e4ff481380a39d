// Filled shapes of the tunnel: discs and the whole screen with a circular hole, row by row.
#pragma once

#include <SDL.h>

// The raw colour every primitive fills with; the scene sets it before each shape.
extern Uint32 fillColour;

// The disc of radius r about (cx, cy). Caller: the tunnel scene, for the enemies.
void fillDisc(int r, int cx, int cy);
// The whole screen except a hole of radius r about (cx, cy). Caller: the scene, for each wall.
void fillOutsideDisc(int r, int cx, int cy);
// Building blocks: the span [cx - dx, cx + dx) on rows cy - dy and cy + dy, and its outside.
void fillRowSpans(int cx, int cy, int dx, int dy);
void fillRowOutside(int cx, int cy, int dx, int dy);
