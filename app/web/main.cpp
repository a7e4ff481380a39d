// The page's entry: the desktop's start-up, then one game frame per browser frame callback,
// never two within FrameBudgetMs, until the player leaves by "Exit".
#include <emscripten/html5.h>
#include <sys/stat.h>

#include "app/frame_loop.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "platform/web/page.h"
#include "platform/web/storage.h"

namespace {

double lastFrameStart = -1.0e9; // the browser's frame time of the last game frame

// A page must not block; the callbacks pace the frames instead.
void noWait(Uint32 /*ms*/) {}

// On a 60 Hz screen every callback (16.7 ms apart) runs a frame; on a faster one the callbacks
// within FrameBudgetMs of the last frame are skipped, so the game keeps its speed. The browser's
// frame times are used, not the moment the callback runs, so jitter in its delivery drops none.
EM_BOOL onBrowserFrame(double frameTime, void* /*unused*/) {
    if (frameTime - lastFrameStart < FrameBudgetMs) {
        return EM_TRUE;
    }
    lastFrameStart = frameTime;
    runFrame();
    noteSavedFiles();
    if (quitRequested) {
        pageEnded();
        return EM_FALSE;
    }
    return EM_TRUE;
}

} // namespace

int main() {
    // The page's C library starts with umask 0777: the best score's file would be made with no
    // permissions at all and could not be read back.
    umask(022);
    prepareGameFolder();
    if (!startGame(0)) {
        return 1;
    }
    delayFrame = noWait;
    emscripten_request_animation_frame_loop(onBrowserFrame, nullptr);
    return 0;
}
