// Frame clock and pointer focus.
#include "platform/frame_clock.h"

Uint32 lastFrameTicks = 0;
int frameMs = 0;
bool pointerActive[PointerSlotCount] = {};
Uint32 (*queryTicks)() = SDL_GetTicks;
Uint8 (*queryAppState)() = SDL_GetAppState;
void (*delayFrame)(Uint32 ms) = SDL_Delay;

namespace {

bool cursorStarted = false; // set by the first refreshPointerFocus

} // namespace

void measureFrame() {
    const Uint32 now = queryTicks();
    frameMs = static_cast<int>(now - lastFrameTicks);
    lastFrameTicks = now;
}

bool refreshPointerFocus() {
    for (bool& active : pointerActive) {
        active = false;
    }
    if (!cursorStarted) {
        cursorStarted = true;
        return false;
    }
    if ((queryAppState() & SDL_APPMOUSEFOCUS) != 0) {
        pointerActive[0] = true;
        return true;
    }
    return false;
}
