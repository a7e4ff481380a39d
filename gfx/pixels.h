// Pixel access on surfaces of 1 to 4 bytes per pixel, and the one-colour copy of the font sheet.
#pragma once

#include <SDL.h>

// Reads the raw pixel value at (x, y): 1, 2 and 4 bytes as one word in machine order, 3 bytes
// little-endian, any other depth 0. The caller keeps (x, y) inside the surface; no lock.
// Used by the font tint and the dashboard backdrop in whole-surface loops.
inline Uint32 getPixel(const SDL_Surface* surface, int x, int y) {
    const int bytes = surface->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bytes;
    switch (bytes) {
    case 1:
        return *p;
    case 2:
        return *reinterpret_cast<const Uint16*>(p);
    case 3:
        return static_cast<Uint32>(p[0]) | static_cast<Uint32>(p[1]) << 8 |
               static_cast<Uint32>(p[2]) << 16;
    case 4:
        return *reinterpret_cast<const Uint32*>(p);
    default:
        return 0;
    }
}

// Stores a raw pixel value at (x, y) by the same rules; other depths are left untouched.
inline void putPixel(SDL_Surface* surface, int x, int y, Uint32 value) {
    const int bytes = surface->format->BytesPerPixel;
    Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * bytes;
    switch (bytes) {
    case 1:
        *p = static_cast<Uint8>(value);
        break;
    case 2:
        *reinterpret_cast<Uint16*>(p) = static_cast<Uint16>(value);
        break;
    case 3:
        p[0] = static_cast<Uint8>(value);
        p[1] = static_cast<Uint8>(value >> 8);
        p[2] = static_cast<Uint8>(value >> 16);
        break;
    case 4:
        *reinterpret_cast<Uint32*>(p) = value;
        break;
    default:
        break;
    }
}

// Called once, by the score lines at the start of the first scene: rewrites tintedFontImage as
// a silhouette of fontImage in the given raw colour (tintedFontImage's format), keeping alpha.
void tintFont(Uint32 colour);
