// The tunnel's cost per frame: a whole world frame and the scene alone at the steady state, the
// culled scene beside the straightforward painter's scene at 42 and 100 rings, and the score
// lines from their pictures beside drawing them glyph by glyph.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "app/frame_loop.h"
#include "game/random.h"
#include "game/scene.h"
#include "game/update.h"
#include "game/world.h"
#include "gfx/pixels.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "tests/game/reference_scene.h"

namespace {

// Health is topped up so that no round ends while the world is measured.
void keepAlive() {
    health = 1.0;
    shownHealth = 1.0;
}

// Starts the game once (media loaded when present) and switches the display to the wanted
// depth.
bool openBenchDisplay(int bitsPerPixel) {
    static bool started = false;
    if (!started) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (chdir(GLIMM_MEDIA_DIR "/..") != 0 || !startGame(bitsPerPixel)) {
            return false;
        }
        started = true;
    }
    return openDisplay(bitsPerPixel);
}

// Plays ten seconds of 16 ms frames with the view turned off-centre: about 42 rings and 14
// enemies, as in play.
bool reachSteadyState(int bitsPerPixel) {
    if (!openBenchDisplay(bitsPerPixel)) {
        return false;
    }
    seedRandom(42);
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
    drawScene();
    for (auto _ : state) {
        drawScene();
    }
    reportWorld(state);
}

// A tunnel of the given number of rings, evenly spread from radius 1 to 1250 along the spawn
// point's circle, black and light by turns, an enemy on every third ring, the view turned as
// by a pointer at (420, 300).
bool buildTunnel(int count, int bitsPerPixel) {
    if (!openBenchDisplay(bitsPerPixel)) {
        return false;
    }
    pickRingColour(); // in the format of the display just opened
    while (ringCount != 0) {
        removeAt(rings, 0);
    }
    while (enemyCount != 0) {
        removeAt(enemies, 0);
    }
    const double lifeMs = (1250.0 - 1.0) / 0.15;
    const double circle = 0.25 / (0.1 * 0.0174532925); // the spawn point's turning radius
    for (int i = 0; i < count; ++i) {
        const double age = lifeMs * (count - i) / count;
        const double heading = std::fmod(0.1 * (lifeMs - age), 360.0) * 0.0174532925;
        auto* ring = new Ring{320.0 + circle * std::sin(heading),
                              115.0 + circle * (1.0 - std::cos(heading)), 1.0 + age * 0.15,
                              i % 2 == 0 ? ringColour : SDL_MapRGB(screen->format, 0, 0, 0)};
        rings[ringCount++] = ring;
        if (i % 3 == 0) {
            const double drift = 0.00025 * age * (1.0 + ring->radius) / 2.0;
            enemies[enemyCount++] = new Enemy{ring->x + std::cos(heading) * drift,
                                              ring->y + std::sin(heading) * drift, 0.0, 0.0, ring};
        }
    }
    aimX = 100.0 / 750.0;
    aimY = 60.0 / 750.0;
    return true;
}

template <void (*Draw)()> void scene(benchmark::State& state) {
    if (!buildTunnel(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)))) {
        state.SkipWithError("no display surface");
        return;
    }
    Draw(); // the first scene of the program also makes the purple font sheet
    for (auto _ : state) {
        Draw();
    }
    reportWorld(state);
}

void sceneReference(benchmark::State& state) {
    scene<drawReferenceScene>(state);
}
// The score lines alone over the scene's ground, which is put back (rows 416 to 459, x 0 to 299)
// before each call: drawn glyph by glyph, from their pictures, and the putting back alone.
template <void (*Lines)()> void scoreLines(benchmark::State& state) {
    if (!buildTunnel(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)))) {
        state.SkipWithError("no display surface");
        return;
    }
    drawScene(); // the purple sheet
    SDL_Surface* sheets[2] = {fontImage, tintedFontImage};
    fontImage = tintedFontImage = nullptr;
    drawScene();
    fontImage = sheets[0], tintedFontImage = sheets[1];
    const size_t bytes = 300u * screen->format->BytesPerPixel;
    std::vector<Uint8> ground(44 * bytes);
    for (int row = 0; row < 44; ++row) {
        std::memcpy(&ground[row * bytes], pixelRow(screen, 416 + row), bytes);
    }
    for (auto _ : state) {
        for (int row = 0; row < 44; ++row) {
            std::memcpy(pixelRow(screen, 416 + row), &ground[row * bytes], bytes);
        }
        Lines();
    }
    reportWorld(state);
}
void noLines() {}
void scoreLinesDirect(benchmark::State& state) {
    scoreLines<drawReferenceScoreLines>(state);
}
void scoreLinesKept(benchmark::State& state) {
    scoreLines<drawScoreLines>(state);
}
void scoreLinesGround(benchmark::State& state) {
    scoreLines<noLines>(state);
}
void sceneFast(benchmark::State& state) {
    scene<drawScene>(state);
}

} // namespace

BENCHMARK(sceneReference)->ArgsProduct({{42, 100}, {32, 16}})->Unit(benchmark::kMicrosecond);
BENCHMARK(sceneFast)->ArgsProduct({{42, 100}, {32, 16}})->Unit(benchmark::kMicrosecond);
BENCHMARK(scoreLinesDirect)->ArgsProduct({{42}, {32, 16}})->Unit(benchmark::kMicrosecond);
BENCHMARK(scoreLinesKept)->ArgsProduct({{42}, {32, 16}})->Unit(benchmark::kMicrosecond);
BENCHMARK(scoreLinesGround)->ArgsProduct({{42}, {32, 16}})->Unit(benchmark::kMicrosecond);
BENCHMARK(worldFrame)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
BENCHMARK(sceneAlone)->Arg(32)->Arg(16)->Unit(benchmark::kMicrosecond);
