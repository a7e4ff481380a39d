// The dashboard's open state, its Escape toggle, easing and slide rule.
#include "dashboard/state.h"

#include <SDL.h>

#include "platform/frame_clock.h"
#include "platform/input.h"

bool dashboardOpen = false;
double dashboardFraction = 0.0;

double OpenStep(double fraction) {
    const double next = (14.0 * fraction + 100.0) / 15.0 + 0.5;
    return next > 100.0 ? 100.0 : next;
}

double CloseStep(double fraction) {
    const double next = 14.0 * fraction / 15.0 - 0.5;
    return next < 0.0 ? 0.0 : next;
}

bool toggleDashboardOnEscape() {
    if (keyState[SDLK_ESCAPE] != KeyPressed) {
        return false;
    }
    if (dashboardOpen) {
        dashboardOpen = false;
        return false;
    }
    dashboardOpen = true;
    return dashboardFraction == 0.0;
}

void easeDashboard() {
    for (int step = 0; step < frameSteps; ++step) {
        dashboardFraction =
            dashboardOpen ? OpenStep(dashboardFraction) : CloseStep(dashboardFraction);
    }
}

int slidePosition(double from, double to) {
    const double f = dashboardFraction;
    return static_cast<int>(from * ((100.0 - f) / 100.0) + to * (f / 100.0));
}
