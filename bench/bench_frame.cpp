// One whole steady game frame as the loop runs it: input, world and scene, dashboard step with
// cursor and border, and the flip. The clock is ours, so no frame waits out its budget.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <unistd.h>

#include "app/frame_loop.h"
#include "game/random.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"

namespace {

Uint32 benchNow = 0;
Uint32 benchTicks() {
    return benchNow;
}
void noDelay(Uint32 /*ms*/) {}
Uint8 mouseOverWindow() {
    return SDL_APPMOUSEFOCUS | SDL_APPINPUTFOCUS | SDL_APPACTIVE;
}

// A frame of 16 ms with health topped up, so no round ends while the frame is measured.
void steadyFrame() {
    health = 1.0;
    shownHealth = 1.0;
    benchNow += 16;
    runFrame();
}

void wholeFrame(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (chdir(GLIMM_MEDIA_DIR "/..") != 0 || !startGame(static_cast<int>(state.range(0)))) {
        state.SkipWithError("no display");
        return;
    }
    queryTicks = benchTicks;
    queryAppState = mouseOverWindow;
    delayFrame = noDelay;
    SDL_WarpMouse(420, 300);
    seedRandom(42);
    resetRound();
    for (int frame = 0; frame < 625; ++frame) {
        steadyFrame();
    }
    for (auto _ : state) {
        steadyFrame();
    }
    state.counters["rings"] = ringCount;
    state.counters["enemies"] = enemyCount;
    state.counters["bpp"] = screen->format->BitsPerPixel;
}

// The game asks for the desktop's depth (0); 32 and 16 are measured too. Each depth starts the
// game afresh, so the media are converted for the display they are drawn on.
BENCHMARK(wholeFrame)->Arg(0)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond)->Iterations(2000);

} // namespace
