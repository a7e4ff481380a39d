// The display surface.
#include "platform/display.h"

SDL_Surface* screen = nullptr;

bool openDisplay(int bitsPerPixel) {
    screen = SDL_SetVideoMode(ScreenWidth, ScreenHeight, bitsPerPixel, SDL_DOUBLEBUF);
    SDL_WM_SetCaption("Glimm", nullptr);
    return screen != nullptr;
}
