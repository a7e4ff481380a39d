// Filled shapes of the tunnel: discs and the whole screen with a circular hole, as row tables the
// scene draws from, and as whole shapes for the reference scene.
#pragma once

#include <SDL.h>

// The raw colour every primitive fills with; the scene sets it before each shape, and leaves the
// nearest wall's colour in it. Starts at 0.
extern Uint32 fillColour;

// Row tables of the two shapes, for drawing them only where they can still show. Both describe
// exactly the pixels fillDisc and fillOutsideDisc (below) paint, row dy above and below the
// centre. Callers: the tunnel scene, for each enemy disc and each wall.
//
// discHalfWidths: for dy 0..r, the widest span fillDisc paints: [cx - w, cx + w), none when 0.
// halfWidth holds r + 1 entries; r 0 or below fills nothing.
void discHalfWidths(int r, int* halfWidth);
// holeHalfWidths: for dy 0..maxDy, what fillOutsideDisc leaves unpainted: [cx - w, cx + w), the
// narrowest of the row's spans; 0 where the row is painted whole (the bands, the hole's top and
// bottom rows, any r of 0 or below). halfWidth holds maxDy + 1 entries.
void holeHalfWidths(int r, int maxDy, int* halfWidth);
// A half-width wide enough to leave any row of the screen unpainted.
constexpr int HoleWholeRow = 1 << 20;
// holeHolds: true only when the hole fillOutsideDisc(r, cx, cy) leaves open holds the columns
// [cx - reach, cx + reach) on every row up to dyMax from cy, so the wall paints nothing there.
// It may answer false when the hole would hold them (it works from a bound of the hole's
// half-widths, proven for radii up to HoleBoundRadius), never true when it would not.
bool holeHolds(int r, int reach, int dyMax);
constexpr int HoleBoundRadius = 4096;

// ---- Kept for the tests: only the straightforward reference scene, the oracle of the culled
// scene, still paints whole shapes with these; the game draws from the row tables above ----

// The disc of radius r about (cx, cy), clipped to 640 x 480, for an enemy. r 0 or below draws
// nothing.
void fillDisc(int r, int cx, int cy);
// The whole screen except a hole of radius r about (cx, cy), for a wall.
// The hole lacks its top and bottom rows and is narrower on rows the iteration writes twice.
void fillOutsideDisc(int r, int cx, int cy);
// Building blocks, upper row (only when dy is not 0) before lower: the span [cx - dx, cx + dx)
// on rows cy - dy and cy + dy, and the parts of those rows outside it.
void fillRowSpans(int cx, int cy, int dx, int dy);
void fillRowOutside(int cx, int cy, int dx, int dy);
