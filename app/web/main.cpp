// The page's entry: the desktop's start-up, then one game frame per browser frame callback,
// never two within FrameBudgetMs, until the player leaves by "Exit".
#include <emscripten/html5.h>

#include "app/frame_loop.h"
#include "app/web/page_loop.h"

namespace {

double lastFrameStart = -1.0e9; // the browser's frame time of the last game frame

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
