// The floor the game's desktop CPU time is measured against: a bare 640 x 480 window that only
// fills, flips and empties its event queue, paced like the game's frame loop.
#include <SDL.h>

#include <cstdio>

namespace {

constexpr int FrameBudgetMs = 16; // the game's least frame length

} // namespace

// Runs until the window is closed or a termination signal arrives (SDL turns it into a quit).
int main(int /*argc*/, char** /*argv*/) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "fill_and_flip: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Surface* screen = SDL_SetVideoMode(640, 480, 0, SDL_DOUBLEBUF);
    if (screen == nullptr) {
        std::fprintf(stderr, "fill_and_flip: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_WM_SetCaption("Glimm floor", nullptr);
    bool quit = false;
    for (Uint32 frame = 0; !quit; ++frame) {
        const Uint32 frameStart = SDL_GetTicks();
        SDL_PumpEvents();
        // A colour that changes every frame, so no layer can skip the flip as unchanged.
        const Uint8 shade = static_cast<Uint8>(frame);
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, shade, 255 - shade, 128));
        SDL_Flip(screen);
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            quit = quit || event.type == SDL_QUIT;
        }
        const auto spent = static_cast<Sint32>(SDL_GetTicks() - frameStart);
        if (spent < FrameBudgetMs) {
            SDL_Delay(static_cast<Uint32>(FrameBudgetMs - spent));
        }
    }
    SDL_Quit();
    return 0;
}
