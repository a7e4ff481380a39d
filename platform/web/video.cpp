// SDL's start, the video mode and the flip for the page: the display surface is plain memory
// that the flip copies onto the canvas; nothing ever reads the canvas back.
#include <emscripten.h>
#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

#include <cstdlib>

#include "platform/display.h"
#include "platform/web/events.h"
#include "platform/web/surfaces.h"

extern "C" {
// Defined in video.js, called only here: the canvas sized, the screen's RGBA bytes put on it,
// the page's title and whether the system cursor shows over the canvas.
void pageOpenCanvas(int width, int height);
void pagePresent(const void* rgba, int width, int height);
void pageSetTitle(const char* title);
void pageShowCursor(int shown);
}

namespace {

Uint32 startedSystems = 0;
const char* lastError = "";
Uint32* canvasBytes = nullptr; // the screen in the canvas's byte order, red first
int cursorShown = 1;

} // namespace

extern "C" {

int SDL_Init(Uint32 flags) {
    startedSystems |= flags;
    return 0;
}

Uint32 SDL_WasInit(Uint32 flags) {
    return startedSystems & flags;
}

void SDL_QuitSubSystem(Uint32 flags) {
    startedSystems &= ~flags;
}

void SDL_Quit() {
    startedSystems = 0;
}

char* SDL_GetError() {
    return const_cast<char*>(lastError);
}

void SDL_ClearError() {
    lastError = "";
}

// Always the page's 32-bit format, whatever depth is asked for: a canvas has no other.
SDL_Surface* SDL_SetVideoMode(int width, int height, int /*bpp*/, Uint32 /*flags*/) {
    SDL_Surface* surface = SDL_CreateRGBSurface(0, width, height, 32, DisplayRedMask,
                                                DisplayGreenMask, DisplayBlueMask, 0);
    Uint32* bytes = static_cast<Uint32*>(
        std::realloc(canvasBytes, static_cast<size_t>(width) * height * sizeof(Uint32)));
    if (surface == nullptr || bytes == nullptr) {
        lastError = "out of memory";
        return nullptr;
    }
    canvasBytes = bytes;
    SDL_Surface* old = screen;
    screen = nullptr; // the old display surface may go now
    SDL_FreeSurface(old);
    screen = surface;
    pageOpenCanvas(width, height);
    startListening();
    return surface;
}

// The screen's 0x00RRGGBB words become the canvas's R, G, B, 255 bytes.
int SDL_Flip(SDL_Surface* surface) {
    if (surface == nullptr || surface != screen) {
        return -1;
    }
    for (int y = 0; y < surface->h; ++y) {
        const auto* in = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(surface->pixels) + y * surface->pitch);
        Uint32* out = canvasBytes + y * surface->w;
        int x = 0;
#ifdef __wasm_simd128__
        const v128_t opaque = wasm_i32x4_splat(static_cast<int>(0xFF000000u));
        for (; x + 4 <= surface->w; x += 4) { // four pixels at a time: bytes 0 and 2 trade places
            const v128_t p = wasm_v128_load(in + x);
            wasm_v128_store(out + x, wasm_v128_or(wasm_i8x16_shuffle(p, p, 2, 1, 0, 3, 6, 5, 4, 7,
                                                                     10, 9, 8, 11, 14, 13, 12, 15),
                                                  opaque));
        }
#endif
        for (; x < surface->w; ++x) {
            const Uint32 p = in[x];
            out[x] = 0xFF000000u | (p & 0x0000FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
        }
    }
    pagePresent(canvasBytes, surface->w, surface->h);
    return 0;
}

void SDL_WM_SetCaption(const char* title, const char* /*icon*/) {
    if (title != nullptr) {
        pageSetTitle(title);
    }
}

int SDL_ShowCursor(int toggle) {
    const int was = cursorShown;
    if (toggle >= 0) {
        cursorShown = toggle != 0 ? 1 : 0;
        pageShowCursor(cursorShown);
    }
    return was;
}

} // extern "C"
