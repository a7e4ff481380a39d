// Start-up and the paced frame loop.
#include "app/frame_loop.h"

#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

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
long framesShown = 0;

namespace {

void reportNoWindow() {
    std::fprintf(stderr, "glimm: cannot open the 640x480 window: %s\n", SDL_GetError());
}

// Opens the sound device. Without a sound card alsa-lib writes eight lines of complaint while SDL
// looks for one; they are held back and the player reads one line of ours. Whatever a good start
// writes passes through.
void openSound() {
#ifdef __EMSCRIPTEN__
    Mix_OpenAudio(0, 0, 0, 0);
#else
    std::fflush(stderr);
    std::FILE* held = std::tmpfile();
    const int saved = dup(STDERR_FILENO);
    const bool holding = held != nullptr && saved >= 0 && dup2(fileno(held), STDERR_FILENO) >= 0;
    const bool opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(0, 0, 0, 0) == 0;
    if (holding) {
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
    }
    if (saved >= 0) {
        close(saved);
    }
    if (!opened) {
        std::fprintf(stderr, "glimm: no sound device (%s); the game plays on without music\n",
                     SDL_GetError());
    } else if (holding) {
        std::rewind(held);
        char chunk[512];
        for (std::size_t n = 0; (n = std::fread(chunk, 1, sizeof chunk, held)) > 0;) {
            std::fwrite(chunk, 1, n, stderr);
        }
    }
    if (held != nullptr) {
        std::fclose(held);
    }
#endif
}

// Started from another folder, the game finds no Media/ and plays on bare: no music, score text,
// border, cursor or buttons. Says so once, with where it looked and how to start it instead.
void reportMissingMedia() {
#ifndef __EMSCRIPTEN__
    const auto isFolder = [](const char* path) {
        struct stat info = {};
        return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
    };
    if (isFolder("Media/Game") && isFolder("Media/Lumadeck")) {
        return;
    }
    char folder[4096];
    if (getcwd(folder, sizeof folder) == nullptr) {
        std::snprintf(folder, sizeof folder, ".");
    }
    std::fprintf(stderr,
                 "glimm: no game media in %s/Media; start Glimm with \"make run\" in its source "
                 "folder, or with the installed \"glimm\" command\n",
                 folder);
#endif
}

} // namespace

bool startGame(int bitsPerPixel) {
    seedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    if (!chooseVideoDriver()) {
        reportNoWindow();
        return false;
    }
    // Sound comes up later on its own (openSound): without it the game plays on silent, so only
    // the video subsystem decides.
    SDL_Init(SDL_INIT_EVERYTHING & ~SDL_INIT_AUDIO);
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
    reportMissingMedia();
    openSound();
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
    // An uncovered window is drawn again in full, whatever the paused dashboard would skip.
    SDL_Event exposed;
    if (SDL_PeepEvents(&exposed, 1, SDL_PEEKEVENT, SDL_VIDEOEXPOSEMASK) > 0) {
        redrawDashboardNextFrame();
    }
    readInput();
    if (dashboardFraction == 0.0) {
        updateWorld();
    }
    if (runDashboardFrame()) {
        SDL_Flip(screen);
        ++framesShown;
    }
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
