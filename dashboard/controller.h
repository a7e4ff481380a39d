// The pause dashboard's state and its per-frame step.
#pragma once

#include <ctime>

extern bool dashboardOpen;       // easing target: opening or open
extern double dashboardFraction; // 0..100; exactly 0 is closed and lets the world run

// Called once per frame by the frame loop, after the world step and before the flip.
void runDashboardFrame();
