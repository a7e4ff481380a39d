// Pixel access on surfaces of 1 to 4 bytes per pixel, straight in their memory.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstring>

// Reads the raw pixel value at (x, y): 1, 2 and 4 bytes as one word in machine order, 3 bytes
// least significant first, any other depth 0. The pitch separates rows. The caller keeps (x, y)
// inside the surface; no lock. Used by the font tint and the dashboard backdrop. Words are copied
// bytewise so a padded pitch never makes an unaligned load (the compiler turns the copy into one
// plain load).
inline Uint32 getPixel(const SDL_Surface* surface, int x, int y) {
    const int bytes = surface->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) +
                     static_cast<std::ptrdiff_t>(y) * surface->pitch +
                     static_cast<std::ptrdiff_t>(x) * bytes;
    switch (bytes) {
    case 1:
        return *p;
    case 2: {
        Uint16 word;
        std::memcpy(&word, p, sizeof word);
        return word;
    }
    case 3:
        return static_cast<Uint32>(p[0]) | static_cast<Uint32>(p[1]) << 8 |
               static_cast<Uint32>(p[2]) << 16;
    case 4: {
        Uint32 word;
        std::memcpy(&word, p, sizeof word);
        return word;
    }
    default:
        return 0;
    }
}

// Stores a raw pixel value at (x, y) by the same rules; other depths are left untouched.
// Callers: the font tint and the dashboard backdrop filter.
inline void putPixel(SDL_Surface* surface, int x, int y, Uint32 value) {
    const int bytes = surface->format->BytesPerPixel;
    Uint8* p = static_cast<Uint8*>(surface->pixels) +
               static_cast<std::ptrdiff_t>(y) * surface->pitch +
               static_cast<std::ptrdiff_t>(x) * bytes;
    switch (bytes) {
    case 1:
        *p = static_cast<Uint8>(value);
        break;
    case 2: {
        const auto word = static_cast<Uint16>(value);
        std::memcpy(p, &word, sizeof word);
        break;
    }
    case 3:
        p[0] = static_cast<Uint8>(value);
        p[1] = static_cast<Uint8>(value >> 8);
        p[2] = static_cast<Uint8>(value >> 16);
        break;
    case 4:
        std::memcpy(p, &value, sizeof value);
        break;
    default:
        break;
    }
}
