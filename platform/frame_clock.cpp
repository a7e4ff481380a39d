// Frame clock and pointer focus.
#include "platform/frame_clock.h"

Uint32 lastFrameTicks = 0;
int frameMs = 0;
int frameSteps = 1;
bool stepsFollowFrameLength = false;
Uint32 (*queryTicks)() = SDL_GetTicks;
Uint8 (*queryAppState)() = SDL_GetAppState;
void (*delayFrame)(Uint32 ms) = SDL_Delay;

namespace {

bool cursorStarted = false; // set by the first refreshPointerFocus

} // namespace

void measureFrame() {
    const Uint32 now = queryTicks();
    // A gap (the process stopped, the machine asleep, a hidden page) is not play: the world
    // would rush every ring past at once and charge the player for enemies never seen.
    const Uint32 elapsed = now - lastFrameTicks;
    frameMs = elapsed > static_cast<Uint32>(MaxFrameMs) ? MaxFrameMs : static_cast<int>(elapsed);
    lastFrameTicks = now;
    // Rounded, so 60 callbacks a second (16 or 17 ms) step once, and 15 a second step four times.
    const int steps = (frameMs + StepMs / 2) / StepMs;
    frameSteps = stepsFollowFrameLength && steps > 1 ? steps : 1;
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
