// The display surface and the video driver that shows it.
#include "platform/display.h"

#include <cstdlib>

SDL_Surface* screen = nullptr;

namespace {

bool given(const char* value) {
    return value != nullptr && *value != '\0';
}

} // namespace

const char* videoDriverFor(const char* named, const char* x11Display, const char* waylandDisplay) {
    if (given(named)) {
        return named;
    }
    if (given(x11Display)) {
        return "x11";
    }
    return given(waylandDisplay) ? "wayland" : nullptr;
}

bool chooseVideoDriver() {
#ifdef __EMSCRIPTEN__
    return true; // the page's canvas is the one display
#else
    const char* named = std::getenv("SDL_VIDEODRIVER");
    const char* driver =
        videoDriverFor(named, std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
    if (driver == nullptr) {
        SDL_SetError("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
        return false;
    }
    // Left to itself, classic SDL 1.2 falls back to drawing in the terminal and sdl12-compat to
    // drawing off screen: a game nobody can see that never ends.
    return driver == named || setenv("SDL_VIDEODRIVER", driver, 1) == 0;
#endif
}

bool openDisplay(int bitsPerPixel) {
    screen = SDL_SetVideoMode(ScreenWidth, ScreenHeight, bitsPerPixel, SDL_DOUBLEBUF);
    SDL_WM_SetCaption("Glimm", nullptr);
    return screen != nullptr;
}
