// A random picture on the screen, the same for a given seed: the dashboard benchmark's stand-in
// for a game frame.
#pragma once

#include <SDL.h>

#include "platform/display.h"

inline void fillScreenWithNoise(unsigned seed) {
    for (int i = 0; i < 640 * 480; ++i) {
        seed = seed * 1103515245u + 12345u;
        const Uint32 bits = seed >> 8;
        SDL_Rect dot = {static_cast<Sint16>(i % 640), static_cast<Sint16>(i / 640), 1, 1};
        SDL_FillRect(screen, &dot,
                     SDL_MapRGB(screen->format, bits & 255, bits >> 8 & 255, bits >> 16 & 255));
    }
}
