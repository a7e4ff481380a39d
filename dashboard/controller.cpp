// The dashboard's per-frame step: frame clock, backdrop and easing, the visible pieces, the
// cursor and the border over everything. A paused game left open for hours changes only its
// clock's seconds, a button's hover and the cursor, so a frame that changes none of them is not
// drawn again.
#include "dashboard/controller.h"

#include <SDL.h>

#include <ctime>

#include "dashboard/backdrop.h"
#include "dashboard/buttons.h"
#include "dashboard/header_footer.h"
#include "dashboard/media.h"
#include "dashboard/state.h"
#include "gfx/opaque_runs.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"

namespace {

// Everything a fully open dashboard's frame is drawn from that can change while it stays open.
struct OpenLook {
    int hoveredButton;
    bool cursorShown;
    int cursorX, cursorY; // 0 while the cursor is not shown
    bool timeKnown;
    int second, minute, hour, day, month, year; // 0 while the time is not known
};

OpenLook shownLook = {};
bool shownLookValid = false; // shownLook is what the screen shows now

OpenLook currentLook(bool cursorShown) {
    OpenLook look = {};
    look.hoveredButton = hoveredDashboardButton();
    look.cursorShown = cursorShown;
    if (cursorShown) {
        look.cursorX = pointerX[0];
        look.cursorY = pointerY[0];
    }
    look.timeKnown = localTimeKnown;
    if (localTimeKnown) {
        look.second = localTimeNow.tm_sec;
        look.minute = localTimeNow.tm_min;
        look.hour = localTimeNow.tm_hour;
        look.day = localTimeNow.tm_mday;
        look.month = localTimeNow.tm_mon;
        look.year = localTimeNow.tm_year;
    }
    return look;
}

bool sameLook(const OpenLook& a, const OpenLook& b) {
    return a.hoveredButton == b.hoveredButton && a.cursorShown == b.cursorShown &&
           a.cursorX == b.cursorX && a.cursorY == b.cursorY && a.timeKnown == b.timeKnown &&
           a.second == b.second && a.minute == b.minute && a.hour == b.hour && a.day == b.day &&
           a.month == b.month && a.year == b.year;
}

} // namespace

bool runDashboardFrame() {
    measureFrame();
    const bool cursorShown = refreshPointerFocus();
    // Fully open, with no Escape to start it closing: the backdrop step would draw the filtered
    // picture and leave the fraction at 100.
    const bool staysOpen =
        dashboardOpen && dashboardFraction == 100.0 && keyState[SDLK_ESCAPE] != KeyPressed;
    if (staysOpen) {
        refreshLocalTime();
        const OpenLook look = currentLook(cursorShown);
        if (shownLookValid && sameLook(look, shownLook)) {
            pressDashboardButtons();
            return false;
        }
        shownLook = look;
    }
    shownLookValid = staysOpen;
    updateDashboardBackdrop();
    if (dashboardFraction != 0.0) {
        if (!staysOpen) {
            refreshLocalTime();
        }
        drawDashboardButtons();
        drawHeaderAndFooter();
    }
    drawCursor(cursorShown);
    // The same bytes as SDL's keyed blit of the whole border, for a fraction of its time.
    drawOpaqueRuns(borderImage, borderRuns, screen);
    return true;
}

void redrawDashboardNextFrame() {
    shownLookValid = false;
}
