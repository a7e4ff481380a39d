// The dashboard's backdrop: the game frame captured on opening, softened and lightened, and
// cross-faded over the screen by the open fraction.
#pragma once

#include <SDL.h>

constexpr int BackdropWidth = 640;
constexpr int BackdropHeight = 480;
constexpr int BackdropPixels = BackdropWidth * BackdropHeight;

// Called once per frame by the dashboard step before anything of the dashboard is drawn: the
// Escape toggle, the capture when opening from closed, the backdrop, one easing step.
void updateDashboardBackdrop();

// Called by updateDashboardBackdrop in the frame an Escape press opens a closed dashboard, and
// once by the page's start-up to ready that frame (never seen: every opening captures anew):
// copies the screen into backdropCapture, filters it and draws the filtered backdrop into
// backdropFiltered; the fade's pictures are kept. Chooses the row routines for the screen's format,
// which the fade then keeps using.
void captureBackdrop();

// ---- Exported for the tests and benchmarks only ----

// Called by updateDashboardBackdrop every frame with the fraction before easing: nothing at 0, the
// filtered backdrop at 100, a blend of raw and filtered weighted by the whole percent between.
void drawBackdrop(double fraction);

// One blur pass over one channel, row by row, from source into destination: each pixel whose
// four taps at distance d (left, right, above, below) lie inside the picture becomes
// (sum of the taps + bias) / 4; the pixel itself takes no part and pixels outside that range are
// left alone. Called six times per channel by the capture.
void crossAverage(const Uint8* source, Uint8* destination, int d, int bias);
