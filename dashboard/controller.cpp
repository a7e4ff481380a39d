// The dashboard's per-frame step: frame clock, backdrop and easing, the visible pieces, the
// cursor and the border over everything.
#include "dashboard/controller.h"

#include <SDL.h>

#include "app/display.h"
#include "app/frame_clock.h"
#include "app/input.h"
#include "dashboard/backdrop.h"
#include "dashboard/buttons.h"
#include "dashboard/header_footer.h"
#include "dashboard/media.h"
#include "gfx/opaque_runs.h"

bool dashboardOpen = false;
double dashboardFraction = 0.0;
std::tm localTimeNow = {};
bool localTimeKnown = false;

double OpenStep(double fraction) {
    const double next = (14.0 * fraction + 100.0) / 15.0 + 0.5;
    return next > 100.0 ? 100.0 : next;
}

double CloseStep(double fraction) {
    const double next = 14.0 * fraction / 15.0 - 0.5;
    return next < 0.0 ? 0.0 : next;
}

int slidePosition(double from, double to) {
    const double f = dashboardFraction;
    return static_cast<int>(from * ((100.0 - f) / 100.0) + to * (f / 100.0));
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
    dashboardFraction = dashboardOpen ? OpenStep(dashboardFraction) : CloseStep(dashboardFraction);
}

namespace {

// A clock the C library cannot convert leaves the date and time out of this frame.
void refreshLocalTime() {
    const std::time_t now = std::time(nullptr);
    localTimeKnown = localtime_r(&now, &localTimeNow) != nullptr;
}

} // namespace

void runDashboardFrame() {
    measureFrame();
    updateDashboardBackdrop();
    if (dashboardFraction != 0.0) {
        refreshLocalTime();
        drawDashboardButtons();
        drawHeaderAndFooter();
    }
    drawCursor();
    // The same bytes as SDL's keyed blit of the whole border, for a fraction of its time.
    drawOpaqueRuns(borderImage, borderRuns, screen);
}
