// A random picture on the screen, the same for a given seed: the dashboard tests' and
// benchmark's stand-in for a game frame.
#pragma once

#include <SDL.h>

#include "platform/display.h"

inline void fillScreenWithNoise(unsigned seed) {
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            seed = seed * 1103515245u + 12345u;
            const Uint32 bits = seed >> 8;
            SDL_Rect dot = {static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
            SDL_FillRect(screen, &dot,
                         SDL_MapRGB(screen->format, static_cast<Uint8>(bits),
                                    static_cast<Uint8>(bits >> 8), static_cast<Uint8>(bits >> 16)));
        }
    }
}
