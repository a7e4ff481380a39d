// The pause dashboard's state: its open target and fraction, the Escape toggle, the easing, and
// the slide rule by which its pieces move in with the fraction.
#pragma once

extern bool dashboardOpen;       // easing target: opening or open; "Resume game" clears it
extern double dashboardFraction; // 0..100 percent; exactly 0 is closed and lets the world run

// Called by the backdrop step first thing each frame: on an Escape press flips dashboardOpen.
// True when this press opened a fully closed dashboard, so the backdrop must be captured.
bool toggleDashboardOnEscape();
// Called by the backdrop step last thing each frame: frameSteps easing steps toward
// dashboardOpen.
void easeDashboard();

// Where a dashboard piece stands at the current fraction: from when closed, to when fully open,
// truncated toward zero. Callers: the buttons and the header and footer, each visible frame.
int slidePosition(double from, double to);

// ---- Exported for the tests only ----

// One frame of easing toward open and toward closed: a fifteenth of the way left plus half a
// unit, clamped to 100 or 0, so either way lands exactly after 39 frames. Called by
// easeDashboard.
double OpenStep(double fraction);  // NOLINT(readability-identifier-naming): the game's own name
double CloseStep(double fraction); // NOLINT(readability-identifier-naming): the game's own name
