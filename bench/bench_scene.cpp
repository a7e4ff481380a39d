// The tunnel's cost per frame at the steady state: a whole world frame and the scene alone.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <unistd.h>

#include "app/display.h"
#include "app/frame_clock.h"
#include "app/frame_loop.h"
#include "app/input.h"
#include "game/scene.h"
#include "game/update.h"
#include "game/world.h"

namespace {

// Health is topped up so that no round ends while the world is measured.
void keepAlive() {
    health = 1.0;
    shownHealth = 1.0;
}

// Starts the game once (media loaded when present), switches the display to the wanted depth
// and plays ten seconds of 16 ms frames with the view turned off-centre: about 42 rings and 14
// enemies, as in play.
bool reachSteadyState(int bitsPerPixel) {
    static bool started = false;
    if (!started) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (chdir(GLIMM_MEDIA_DIR "/..") != 0 || !startGame(bitsPerPixel)) {
            return false;
        }
        started = true;
    }
    if (!openDisplay(bitsPerPixel)) {
        return false;
    }
    std::srand(42);
    resetRound();
    pointerActive[0] = true;
    pointerX[0] = 420;
    pointerY[0] = 300;
    frameMs = 16;
    for (int frame = 0; frame < 625; ++frame) {
        keepAlive();
        updateWorld();
    }
    return true;
}

void reportWorld(benchmark::State& state) {
    state.counters["rings"] = ringCount;
    state.counters["enemies"] = enemyCount;
}

void worldFrame(benchmark::State& state) {
    if (!reachSteadyState(static_cast<int>(state.range(0)))) {
        state.SkipWithError("no display surface");
        return;
    }
    for (auto _ : state) {
        keepAlive();
        updateWorld();
    }
    reportWorld(state);
}

void sceneAlone(benchmark::State& state) {
    if (!reachSteadyState(static_cast<int>(state.range(0)))) {
        state.SkipWithError("no display surface");
        return;
    }
    for (auto _ : state) {
        drawScene();
    }
    reportWorld(state);
}

} // namespace

BENCHMARK(worldFrame)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(sceneAlone)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
