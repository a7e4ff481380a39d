// The page's entry: the desktop's start-up, then one game frame per browser frame callback,
// never two within FrameBudgetMs, until the player leaves by "Exit".
#include <emscripten/html5.h>
#include <sys/stat.h>

#include <ctime>

#include "app/frame_loop.h"
#include "dashboard/backdrop.h"
#include "game/random.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "platform/web/page.h"
#include "platform/web/storage.h"

namespace {

constexpr int TimedFrames = 4096; // the work times of the latest frames, for the benchmarks

double lastFrameStart = -1.0e9; // the browser's frame time of the last game frame
double frameWorkMs[TimedFrames] = {};
int framesRun = 0;

// A page must not block; the callbacks pace the frames instead.
void noWait(Uint32 /*ms*/) {}

bool startPage() {
    // The page's C library starts with umask 0777: the best score's file would be made with no
    // permissions at all and could not be read back.
    umask(022);
    // The page's C library asks the browser for the time zone at the first local time, which
    // would fall in the dashboard's opening frame: ask now.
    tzset();
    prepareGameFolder();
    if (!startGame(0)) {
        return false;
    }
    // The browser compiles the game's code at its first call and runs it unoptimised at first, and
    // the backdrop's planes are untouched memory until then: the dashboard's first opening frame
    // took twice as long as the later ones. One capture of the start's screen pays for that now;
    // the dashboard's opening captures again, so nothing of this one is ever seen.
    captureBackdrop();
    delayFrame = noWait;
    return true;
}

// One game frame and what the page does after it; false once the game has ended.
bool runPageFrame() {
    const double start = emscripten_get_now();
    runFrame();
    noteSavedFiles();
    frameWorkMs[framesRun++ % TimedFrames] = emscripten_get_now() - start;
    if (quitRequested) {
        pageEnded();
        return false;
    }
    return true;
}

// On a 60 Hz screen every callback (16.7 ms apart) runs a frame; on a faster one the callbacks
// within FrameBudgetMs of the last frame are skipped, so the game keeps its speed. The browser's
// frame times are used, not the moment the callback runs, so jitter in its delivery drops none.
EM_BOOL onBrowserFrame(double frameTime, void* /*unused*/) {
    if (frameTime - lastFrameStart < FrameBudgetMs) {
        return EM_TRUE;
    }
    lastFrameStart = frameTime;
    return runPageFrame() ? EM_TRUE : EM_FALSE;
}

} // namespace

int main() {
    if (!startPage()) {
        return 1;
    }
    emscripten_request_animation_frame_loop(onBrowserFrame, nullptr);
    return 0;
}

// ---- Test-only: for the browser tests and benchmarks, through the page's module object.

namespace {

Uint32 steppedNow = 0;
Uint32 steppedTicks() {
    return steppedNow;
}

} // namespace

extern "C" {

// Frames run so far, and the work time of one of the latest TimedFrames of them in ms.
EMSCRIPTEN_KEEPALIVE int glimmFramesRun() {
    return framesRun;
}
EMSCRIPTEN_KEEPALIVE double glimmFrameWorkMs(int frame) {
    return frameWorkMs[frame % TimedFrames];
}

// In place of main: the same start, then the round again from seed, on a clock that moves
// FrameBudgetMs per glimmStepFrame and with no frames of the browser's own.
EMSCRIPTEN_KEEPALIVE int glimmStartStepped(unsigned seed) {
    if (!startPage()) {
        return 0;
    }
    queryTicks = steppedTicks;
    seedRandom(seed);
    resetRound();
    return 1;
}
EMSCRIPTEN_KEEPALIVE int glimmStepFrame() {
    steppedNow += FrameBudgetMs;
    return runPageFrame() ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE const void* glimmScreenPixels() {
    return screen->pixels;
}
EMSCRIPTEN_KEEPALIVE int glimmScore() {
    return score;
}
EMSCRIPTEN_KEEPALIVE int glimmHighScore() {
    return highScore;
}

} // extern "C"
