// How the game ends on the page: no signals reach a page, and SDL has nothing to shut down; the
// page ends by "Exit" (the web frame loop) or by being closed.
#include "platform/shutdown.h"

void installShutdownHandling() {}

void markFrameLoop(bool /*running*/) {}

bool terminationRequested() {
    return false;
}
