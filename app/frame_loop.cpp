// Start-up and the paced frame loop.
#include "app/frame_loop.h"

#include <cstdio>
#include <ctime>

#include "dashboard/controller.h"
#include "dashboard/media.h"
#include "dashboard/state.h"
#include "game/random.h"
#include "game/update.h"
#include "game/world.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "platform/shutdown.h"

Mix_Music* music = nullptr;

namespace {

void reportNoWindow() {
    std::fprintf(stderr, "glimm: cannot open the 640x480 window: %s\n", SDL_GetError());
}

} // namespace

bool startGame(int bitsPerPixel) {
    seedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    // A missing sound device fails SDL_Init as a whole, yet the game plays on silent: only
    // the video subsystem decides.
    SDL_Init(SDL_INIT_EVERYTHING);
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        reportNoWindow();
        return false;
    }
    installShutdownHandling(); // SDL_Quit at exit, and the termination signals
    // The game adds no SDL timer, yet classic SDL's timer thread wakes every millisecond to look
    // for one: more than a third of the game's CPU time on a desktop. Ticks and delays go on
    // without it.
    SDL_QuitSubSystem(SDL_INIT_TIMER);
    SDL_ShowCursor(0);
    if (!openDisplay(bitsPerPixel)) {
        reportNoWindow();
        return false;
    }
    resetRound();
    Mix_OpenAudio(0, 0, 0, 0);
    music = Mix_LoadMUS("Media/Game/Mirovanta.ogg");
    Mix_VolumeMusic(MIX_MAX_VOLUME);
    Mix_PlayMusic(music, -1);
    loadFont();
    loadDashboardMedia();
    return true;
}

void runFrame() {
    const Uint32 frameStart = queryTicks();
    SDL_PumpEvents();
    readInput();
    if (dashboardFraction == 0.0) {
        updateWorld();
    }
    runDashboardFrame();
    SDL_Flip(screen);
    drainEvents();
    const auto spent = static_cast<Sint32>(queryTicks() - frameStart);
    if (spent < FrameBudgetMs) {
        delayFrame(static_cast<Uint32>(FrameBudgetMs - spent));
    }
}

void runGameLoop() {
    markFrameLoop(true);
    while (!quitRequested) {
        runFrame();
    }
    markFrameLoop(false);
}
