// The dashboard's backdrop per frame: the opening frame (capture, six-pass blur, brighten and
// both conversions), a fade frame (blend) and a fully open frame (blit); the game's routines
// side by side with the straightforward ones the tests keep as the oracle.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "app/frame_loop.h"
#include "dashboard/backdrop.h"
#include "dashboard/controller.h"
#include "dashboard/media.h"
#include "dashboard/state.h"
#include "noise_picture.h"
#include "platform/display.h"
#include "platform/input.h"
#include "tests/dashboard/backdrop_reference.h"

namespace {

// Starts the game once in a scratch folder on the dummy drivers, then opens the display at the
// wanted depth and paints it with noise, as busy a picture as the tunnel.
bool startWithNoise(int bitsPerPixel) {
    static bool started = false;
    if (!started) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        char folder[] = "/tmp/glimm-bench-XXXXXX";
        if (mkdtemp(folder) == nullptr || chdir(folder) != 0 || !startGame(bitsPerPixel)) {
            return false;
        }
        started = true;
    }
    if (!openDisplay(bitsPerPixel)) {
        return false;
    }
    // The work surfaces follow the display's format, as the loader makes them.
    backdropCapture = SDL_DisplayFormat(screen);
    backdropFiltered = SDL_DisplayFormat(screen);
    fillScreenWithNoise(1);
    return true;
}

// The opening press of a closed dashboard: toggle, capture and filter, nothing drawn, one step.
void openFromClosed() {
    dashboardOpen = false;
    dashboardFraction = 0.0;
    keyState[SDLK_ESCAPE] = KeyPressed;
    updateDashboardBackdrop();
}

void openingFrame(benchmark::State& state) {
    if (!startWithNoise(static_cast<int>(state.range(0)))) {
        state.SkipWithError("no display surface");
        return;
    }
    for (auto _ : state) {
        openFromClosed();
    }
}

void fadeFrame(benchmark::State& state) {
    if (!startWithNoise(static_cast<int>(state.range(0)))) {
        state.SkipWithError("no display surface");
        return;
    }
    openFromClosed();
    for (auto _ : state) {
        drawBackdrop(57.3);
    }
}

void openFrame(benchmark::State& state) {
    if (!startWithNoise(static_cast<int>(state.range(0)))) {
        state.SkipWithError("no display surface");
        return;
    }
    openFromClosed();
    for (auto _ : state) {
        drawBackdrop(100.0);
    }
}

Uint8 referenceFiltered[reference::Bytes];
Uint8 referenceCaptured[reference::Bytes];

void referenceOpeningFrame(benchmark::State& state) {
    if (!startWithNoise(static_cast<int>(state.range(0)))) {
        state.SkipWithError("no display surface");
        return;
    }
    for (auto _ : state) {
        reference::capture(screen, backdropCapture, backdropFiltered, referenceFiltered,
                           referenceCaptured);
    }
}

void referenceFadeFrame(benchmark::State& state) {
    if (!startWithNoise(static_cast<int>(state.range(0)))) {
        state.SkipWithError("no display surface");
        return;
    }
    reference::capture(screen, backdropCapture, backdropFiltered, referenceFiltered,
                       referenceCaptured);
    for (auto _ : state) {
        reference::blend(screen, referenceFiltered, referenceCaptured, 57);
    }
}

double smallest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}
double largest(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

} // namespace

#define DASHBOARD_BENCHMARK(routine)                                                               \
    BENCHMARK(routine)                                                                             \
        ->Arg(32)                                                                                  \
        ->Arg(16)                                                                                  \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Repetitions(10)                                                                          \
        ->ReportAggregatesOnly(true)                                                               \
        ->ComputeStatistics("min", smallest)                                                       \
        ->ComputeStatistics("max", largest)

DASHBOARD_BENCHMARK(referenceOpeningFrame);
DASHBOARD_BENCHMARK(openingFrame);
DASHBOARD_BENCHMARK(referenceFadeFrame);
DASHBOARD_BENCHMARK(fadeFrame);
DASHBOARD_BENCHMARK(openFrame);
