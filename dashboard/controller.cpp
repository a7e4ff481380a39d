// The dashboard's per-frame step. For now only the parts every frame needs: the frame clock
// and the pointer focus.
#include "dashboard/controller.h"

#include "app/frame_clock.h"

bool dashboardOpen = false;
double dashboardFraction = 0.0;

void runDashboardFrame() {
    measureFrame();
    refreshPointerFocus();
}
