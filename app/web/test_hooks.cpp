// The page's test hooks, built only into the tests' and benchmarks' site (GLIMM_WEB_TEST_HOOKS):
// reached through the page's module object.
#include <emscripten.h>

#include "app/frame_loop.h"
#include "app/web/page_loop.h"
#include "dashboard/screenshot.h"
#include "dashboard/state.h"
#include "game/random.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"

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
// How far the view has turned toward the pointer, and the dashboard's open fraction (0 to 100).
EMSCRIPTEN_KEEPALIVE double glimmAimX() {
    return aimX;
}
EMSCRIPTEN_KEEPALIVE double glimmDashboardFraction() {
    return dashboardFraction;
}
// Another tab's doings, through the same seams as play: a round ending with value points (the
// best shown after it), and "Save BMP screenshot" (1 when saved).
EMSCRIPTEN_KEEPALIVE int glimmEndRoundWith(int value) {
    score = value;
    resetRound();
    return highScore;
}
EMSCRIPTEN_KEEPALIVE int glimmSaveScreenshot() {
    return saveScreenshot() ? 1 : 0;
}

// What the touch scenes look at: a pointer slot's place and whether it is active, the left
// button's state word, the aim, the enemies' places on the screen, and the dashboard's target.
EMSCRIPTEN_KEEPALIVE int glimmPointer(int slot, int axis) {
    return axis == 0 ? pointerX[slot] : axis == 1 ? pointerY[slot] : pointerActive[slot];
}
EMSCRIPTEN_KEEPALIVE int glimmLeftButton() {
    return mouseButtonState[SDL_BUTTON_LEFT];
}
EMSCRIPTEN_KEEPALIVE double glimmAim(int axis) {
    return axis == 0 ? aimX : aimY;
}
EMSCRIPTEN_KEEPALIVE int glimmEnemyCount() {
    return enemyCount;
}
EMSCRIPTEN_KEEPALIVE double glimmEnemyView(int enemy, int axis) {
    const Enemy* e = enemies[enemy];
    return axis == 0 ? viewPosition(e->x, e->ring->radius, aimX)
                     : viewPosition(e->y, e->ring->radius, aimY);
}
EMSCRIPTEN_KEEPALIVE int glimmDashboardOpen() {
    return dashboardOpen ? 1 : 0;
}

} // extern "C"
