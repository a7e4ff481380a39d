// The dashboard's per-frame step: frame clock, backdrop and easing, the visible pieces, the
// cursor and the border over everything.
#include "dashboard/controller.h"

#include <SDL.h>

#include "dashboard/backdrop.h"
#include "dashboard/buttons.h"
#include "dashboard/header_footer.h"
#include "dashboard/media.h"
#include "dashboard/state.h"
#include "gfx/opaque_runs.h"
#include "platform/display.h"
#include "platform/frame_clock.h"

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
