// Pixel access on surfaces of 1 to 4 bytes per pixel, straight in their memory: a row's start,
// one raw value at an address, and one pixel at (x, y).
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstring>

// Where row y of a surface's pixels starts; the pitch separates rows. The caller keeps y inside
// the surface; no lock. Used by getPixel and putPixel and by the dashboard backdrop's row loops.
inline Uint8* pixelRow(SDL_Surface* surface, int y) {
    return static_cast<Uint8*>(surface->pixels) + static_cast<std::ptrdiff_t>(y) * surface->pitch;
}
inline const Uint8* pixelRow(const SDL_Surface* surface, int y) {
    return static_cast<const Uint8*>(surface->pixels) +
           static_cast<std::ptrdiff_t>(y) * surface->pitch;
}

// Reads the raw value of a pixel `bytes` wide at p: 1, 2 and 4 bytes as one word in machine
// order, 3 bytes least significant first, any other width 0. Words are copied bytewise so a
// padded pitch never makes an unaligned load (the compiler turns the copy into one plain load).
// Used by getPixel and by the dashboard backdrop's row loops.
inline Uint32 loadPixel(const Uint8* p, int bytes) {
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

// Stores a raw pixel value `bytes` wide at p by the same rules; bits beyond the width are dropped
// and other widths write nothing. Used by putPixel and by the dashboard backdrop's row loops.
inline void storePixel(Uint8* p, int bytes, Uint32 value) {
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

// Reads the raw pixel value at (x, y) in the surface's own width. The caller keeps (x, y) inside
// the surface; no lock. Used by the font tint and the dashboard backdrop.
inline Uint32 getPixel(const SDL_Surface* surface, int x, int y) {
    const int bytes = surface->format->BytesPerPixel;
    return loadPixel(pixelRow(surface, y) + static_cast<std::ptrdiff_t>(x) * bytes, bytes);
}

// Stores a raw pixel value at (x, y) in the surface's own width; other depths are left untouched.
// Callers: the font tint and the dashboard backdrop.
inline void putPixel(SDL_Surface* surface, int x, int y, Uint32 value) {
    const int bytes = surface->format->BytesPerPixel;
    storePixel(pixelRow(surface, y) + static_cast<std::ptrdiff_t>(x) * bytes, bytes, value);
}
