// The page's start and frame around the desktop's own.
#include "app/web/page_loop.h"

#include <emscripten.h>
#include <unistd.h>

#include <ctime>

#include "app/frame_loop.h"
#include "dashboard/backdrop.h"
#include "dashboard/state.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "platform/web/events.h"
#include "platform/web/music.h"

int framesRun = 0;
double frameWorkMs[TimedFrames] = {};

namespace {

// A page must not block; the browser's frame callbacks pace the frames instead.
void noWait(Uint32 /*ms*/) {}

// The site's own reaction to the end: it shows its message and offers another game.
EM_JS(void, tellSiteGameEnded, (), {
    if (Module['onGameEnded'])
        Module['onGameEnded']();
});

} // namespace

bool startPage() {
    // The page's C library asks the browser for the time zone at the first local time, which
    // would fall in the dashboard's opening frame: ask now.
    tzset();
    chdir("/glimm"); // where the media package puts Media
    if (!startGame(0)) {
        return false;
    }
    // The browser compiles the game's code at its first call and runs it unoptimised at first:
    // the dashboard's first opening frame took twice as long as the later ones. One capture of
    // the start's screen pays for that now; the dashboard's opening captures again, so nothing
    // of this one is ever seen.
    captureBackdrop();
    delayFrame = noWait;
    stepsFollowFrameLength = true;
    return true;
}

bool runPageFrame() {
    const double start = emscripten_get_now();
    if (quitRequested) {
        return false; // ended already, by a frame run outside the browser's frame callbacks
    }
    runFrame();
    frameWorkMs[framesRun++ % TimedFrames] = emscripten_get_now() - start;
    if (quitRequested) {
        stopListening();
        endMusic();
        tellSiteGameEnded();
        return false;
    }
    return true;
}

extern "C" {

// A hidden page gets no frames: one more, with Escape pressed, pauses the game now, so the
// player comes back to it paused and its music stays quiet. On the dashboard it stays as it is.
EMSCRIPTEN_KEEPALIVE void glimmPageHidden() {
    if (dashboardOpen || quitRequested) {
        return;
    }
    glimmKey(SDLK_ESCAPE, 1);
    glimmKey(SDLK_ESCAPE, 0);
    runPageFrame();
}

} // extern "C"
