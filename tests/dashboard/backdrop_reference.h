// The backdrop's straightforward algorithms, pixel by pixel through SDL on column-major
// arrays, kept as the oracle that the game's fast capture and fade must match byte for byte.
// Shared by the differential tests and the benchmark.
#pragma once

#include <SDL.h>

#include <cstring>

#include "gfx/pixels.h"

namespace reference {

constexpr int Width = 640;
constexpr int Height = 480;
constexpr int Bytes = Width * Height * 3;

inline int indexOf(int x, int y) {
    return (x * Height + y) * 3;
}

inline Uint8 clampByte(int value) {
    return static_cast<Uint8>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

inline void readSurface(SDL_Surface* surface, Uint8* rgb) {
    for (int x = 0; x < Width; ++x) {
        for (int y = 0; y < Height; ++y) {
            Uint8* p = rgb + indexOf(x, y);
            SDL_GetRGB(getPixel(surface, x, y), surface->format, &p[0], &p[1], &p[2]);
        }
    }
}

// Each pixel whose four taps at distance d lie inside becomes their (sum + bias) / 4.
inline void crossAverage(const Uint8* source, Uint8* destination, int d, int bias) {
    const int step = d * Height * 3;
    for (int x = d; x < Width - d; ++x) {
        for (int y = d; y < Height - d; ++y) {
            for (int k = 0; k < 3; ++k) {
                const int i = indexOf(x, y) + k;
                const int sum =
                    source[i - step] + source[i + step] + source[i - 3 * d] + source[i + 3 * d];
                destination[i] = static_cast<Uint8>((sum + bias) / 4);
            }
        }
    }
}

// The opening frame's capture and filter, from screen into the two surfaces and two arrays.
inline void capture(SDL_Surface* screen, SDL_Surface* captured, SDL_Surface* filtered,
                    Uint8* filteredRgb, Uint8* capturedRgb) {
    SDL_UpperBlit(screen, nullptr, captured, nullptr);
    readSurface(screen, filteredRgb);
    std::memcpy(capturedRgb, filteredRgb, Bytes);
    crossAverage(filteredRgb, capturedRgb, 3, 0);
    crossAverage(capturedRgb, filteredRgb, 3, 1);
    for (int pass = 0; pass < 2; ++pass) {
        crossAverage(filteredRgb, capturedRgb, 1, 0);
        crossAverage(capturedRgb, filteredRgb, 1, 0);
    }
    for (int i = 0; i < Bytes; ++i) {
        filteredRgb[i] = clampByte(clampByte(clampByte(filteredRgb[i] + 50) - 100) + 100);
    }
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const Uint8* p = filteredRgb + indexOf(x, y);
            putPixel(filtered, x, y, SDL_MapRGB(filtered->format, p[0], p[1], p[2]));
        }
    }
    readSurface(captured, capturedRgb);
}

// The fade at whole percent t, packed by loss and shift (through the palette if there is one).
inline void blend(SDL_Surface* screen, const Uint8* filteredRgb, const Uint8* capturedRgb, int t) {
    const SDL_PixelFormat* f = screen->format;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            Uint8 mixed[3];
            for (int k = 0; k < 3; ++k) {
                const int i = indexOf(x, y) + k;
                mixed[k] = clampByte((filteredRgb[i] * t + capturedRgb[i] * (100 - t)) / 100);
            }
            putPixel(screen, x, y,
                     f->palette != nullptr
                         ? SDL_MapRGB(screen->format, mixed[0], mixed[1], mixed[2])
                         : static_cast<Uint32>(mixed[0] >> f->Rloss) << f->Rshift |
                               static_cast<Uint32>(mixed[1] >> f->Gloss) << f->Gshift |
                               static_cast<Uint32>(mixed[2] >> f->Bloss) << f->Bshift);
        }
    }
}

} // namespace reference
