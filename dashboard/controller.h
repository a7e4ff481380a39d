// The pause dashboard's state, its easing and slide rule, and its per-frame step.
#pragma once

#include <ctime>

extern bool dashboardOpen;       // easing target: opening or open; "Resume game" clears it
extern double dashboardFraction; // 0..100 percent; exactly 0 is closed and lets the world run
// The local time shown by the header, refreshed in every visible frame; localTimeKnown is false
// when the clock could not be converted this frame, and then nothing reads localTimeNow.
extern std::tm localTimeNow;
extern bool localTimeKnown;

// One frame of easing toward open and toward closed: a fifteenth of the way left plus half a
// unit, clamped to 100 or 0, so either way lands exactly after 39 frames.
double OpenStep(double fraction);  // NOLINT(readability-identifier-naming): the game's own name
double CloseStep(double fraction); // NOLINT(readability-identifier-naming): the game's own name

// Where a dashboard piece stands at the current fraction: from when closed, to when fully open,
// truncated toward zero. Callers: the buttons and the header and footer, each visible frame.
int slidePosition(double from, double to);

// Called by the backdrop step first thing each frame: on an Escape press flips dashboardOpen.
// True when this press opened a fully closed dashboard, so the backdrop must be captured.
bool toggleDashboardOnEscape();
// Called by the backdrop step last thing each frame: one easing step toward dashboardOpen.
void easeDashboard();

// Called once per frame by the frame loop, after the world step and before the flip.
void runDashboardFrame();
