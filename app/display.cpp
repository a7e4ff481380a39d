// The display surface and the quit flag.
#include "app/display.h"

SDL_Surface* screen = nullptr;
bool quitRequested = false;

bool openDisplay(int bitsPerPixel) {
    screen = SDL_SetVideoMode(ScreenWidth, ScreenHeight, bitsPerPixel, SDL_DOUBLEBUF);
    SDL_WM_SetCaption("Glimm", nullptr);
    return screen != nullptr;
}
