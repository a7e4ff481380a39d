// The backdrop's straightforward algorithms, pixel by pixel through SDL on column-major arrays:
// the oracle the game's fast capture and fade must match byte for byte, and the benchmark's base.
#pragma once

#include <SDL.h>

#include <algorithm>

#include "gfx/pixels.h"

namespace reference {

constexpr int Width = 640;
constexpr int Height = 480;
constexpr int Bytes = Width * Height * 3;

// Pixel (x, y) starts at byte (x * 480 + y) * 3: red, green, blue.
inline void readSurface(SDL_Surface* surface, Uint8* rgb) {
    for (int x = 0; x < Width; ++x) {
        for (int y = 0; y < Height; ++y, rgb += 3) {
            SDL_GetRGB(getPixel(surface, x, y), surface->format, &rgb[0], &rgb[1], &rgb[2]);
        }
    }
}

// Each pixel as SDL maps its colour, less the given bits.
inline void writeSurface(const Uint8* rgb, SDL_Surface* surface, Uint32 without) {
    for (int x = 0; x < Width; ++x) {
        for (int y = 0; y < Height; ++y, rgb += 3) {
            putPixel(surface, x, y, SDL_MapRGB(surface->format, rgb[0], rgb[1], rgb[2]) & ~without);
        }
    }
}

// Each channel of each pixel whose four taps at distance d lie inside becomes their
// (sum + bias) / 4; the rest of destination is left alone.
inline void crossAverage(const Uint8* source, Uint8* destination, int d, int bias) {
    const int across = d * Height * 3, down = d * 3;
    for (int x = d; x < Width - d; ++x) {
        for (int i = (x * Height + d) * 3; i < (x * Height + Height - d) * 3; ++i) {
            const int sum =
                source[i - across] + source[i + across] + source[i - down] + source[i + down];
            destination[i] = static_cast<Uint8>((sum + bias) / 4);
        }
    }
}

// The opening frame: the screen copied into captured, its pixels blurred six times, lifted by
// 50 and kept within 100..255 and drawn into filtered; capturedRgb holds the captured pixels.
inline void capture(SDL_Surface* screen, SDL_Surface* captured, SDL_Surface* filtered,
                    Uint8* filteredRgb, Uint8* capturedRgb) {
    SDL_UpperBlit(screen, nullptr, captured, nullptr);
    readSurface(screen, filteredRgb);
    readSurface(screen, capturedRgb);      // the blur's scratch, its frame raw
    for (int pair = 0; pair < 3; ++pair) { // at distance 3, 1 and 1; only the second pass rounds
        crossAverage(filteredRgb, capturedRgb, pair == 0 ? 3 : 1, 0);
        crossAverage(capturedRgb, filteredRgb, pair == 0 ? 3 : 1, pair == 0 ? 1 : 0);
    }
    for (int i = 0; i < Bytes; ++i) {
        filteredRgb[i] = static_cast<Uint8>(std::clamp(filteredRgb[i] + 50, 100, 255));
    }
    writeSurface(filteredRgb, filtered, 0);
    readSurface(captured, capturedRgb);
}

// The fade at whole percent t, without alpha bits.
inline void blend(SDL_Surface* screen, const Uint8* filteredRgb, const Uint8* capturedRgb, int t) {
    static Uint8 mixed[Bytes];
    for (int i = 0; i < Bytes; ++i) {
        mixed[i] = static_cast<Uint8>((filteredRgb[i] * t + capturedRgb[i] * (100 - t)) / 100);
    }
    writeSurface(mixed, screen, screen->format->Amask);
}

} // namespace reference
