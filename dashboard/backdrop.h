// The dashboard's backdrop: the game frame captured on opening, softened and lightened, and
// cross-faded over the screen by the open fraction.
#pragma once

#include <SDL.h>

constexpr int BackdropBytes = 640 * 480 * 3;
// Bytes from one column to the next in the two arrays: pixel (x, y), channel k (0 red, 1 green,
// 2 blue) is at (x * 480 + y) * 3 + k.
constexpr int BackdropColumnBytes = 480 * 3;

// After a capture: the filtered, brightened backdrop, and the raw capture (scratch while the
// filter runs). Written only by captureBackdrop.
extern Uint8 filteredRgb[BackdropBytes];
extern Uint8 capturedRgb[BackdropBytes];

// One blur pass from source into destination: each channel of each pixel whose four taps at
// distance d (left, right, above, below) lie inside the picture becomes (sum + bias) / 4; the
// pixel itself takes no part and pixels outside that range are left alone. Called by the filter.
void crossAverage(const Uint8* source, Uint8* destination, int d, int bias);

// Called by the backdrop step in the frame an Escape press opens a closed dashboard: copies the
// screen into backdropCapture, fills both arrays and draws the filtered backdrop into
// backdropFiltered.
void captureBackdrop();

// Called by the backdrop step every frame with the fraction before easing: nothing at 0, the
// filtered backdrop at 100, a blend of raw and filtered weighted by the whole percent between.
void drawBackdrop(double fraction);

// Called once per frame by the dashboard step before anything of the dashboard is drawn: the
// Escape toggle, the capture when opening from closed, the backdrop, one easing step.
void updateDashboardBackdrop();
