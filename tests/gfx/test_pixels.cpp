// Pixel access on every depth (padded rows, the 3-byte order, bad depths) and the font tint.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <vector>

#include "gfx/pixels.h"
#include "gfx/text.h"

namespace {

constexpr int Width = 7;
constexpr int Height = 5;
constexpr int Padding = 5; // odd, so rows of 2- and 4-byte pixels start unaligned
constexpr Uint8 Sentinel = 0xA5;

// A surface over our own memory whose rows are padded past width * bytes per pixel.
struct PaddedSurface {
    std::vector<Uint8> memory;
    SDL_Surface* surface = nullptr;
    int pitch = 0;
};

PaddedSurface makePadded(int bytes) {
    PaddedSurface padded;
    padded.pitch = Width * bytes + Padding;
    // One spare byte in front makes every row start, and the surface itself, unaligned.
    padded.memory.assign(static_cast<size_t>(padded.pitch * Height + 1), Sentinel);
    // Masks both runtimes know: 8-bit palette, RGB565, RGB888 packed and ARGB8888.
    const Uint32 masks[5][4] = {{0, 0, 0, 0},
                                {0, 0, 0, 0},
                                {0xF800, 0x07E0, 0x001F, 0},
                                {0xFF0000, 0x00FF00, 0x0000FF, 0},
                                {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}};
    const Uint32* m = masks[bytes];
    padded.surface = SDL_CreateRGBSurfaceFrom(padded.memory.data() + 1, Width, Height, bytes * 8,
                                              padded.pitch, m[0], m[1], m[2], m[3]);
    return padded;
}

Uint32 valueMask(int bytes) {
    return bytes == 4 ? 0xFFFFFFFFu : (1u << (bytes * 8)) - 1;
}

Uint32 patternValue(int bytes, int x, int y) {
    return 0x9E3779B9u * static_cast<Uint32>(y * Width + x + 1) & valueMask(bytes);
}

// The bytes at (x, y) taken as one little-endian number: machine order on this x86-64
// machine for 1, 2 and 4 bytes, and the stated order for 3.
Uint32 storedValue(const PaddedSurface& padded, int bytes, int x, int y) {
    const Uint8* at = padded.memory.data() + 1 + y * padded.pitch + x * bytes;
    Uint32 stored = 0;
    for (int b = bytes - 1; b >= 0; --b) {
        stored = stored << 8 | at[b];
    }
    return stored;
}

} // namespace

TEST(PixelAccess, RoundTripsEveryDepthAcrossPaddedRows) {
    for (int bytes = 1; bytes <= 4; ++bytes) {
        SCOPED_TRACE(bytes);
        PaddedSurface padded = makePadded(bytes);
        ASSERT_NE(padded.surface, nullptr);
        ASSERT_EQ(padded.surface->pitch, padded.pitch);
        ASSERT_EQ(padded.surface->format->BytesPerPixel, bytes);
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                // Bits beyond the depth must be dropped, not spilled into the neighbour.
                putPixel(padded.surface, x, y, patternValue(bytes, x, y) | ~valueMask(bytes));
            }
        }
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                ASSERT_EQ(getPixel(padded.surface, x, y), patternValue(bytes, x, y))
                    << x << "," << y;
                ASSERT_EQ(storedValue(padded, bytes, x, y), patternValue(bytes, x, y));
            }
            for (int b = Width * bytes; b < padded.pitch; ++b) {
                ASSERT_EQ(padded.memory[1 + y * padded.pitch + b], Sentinel) << "row " << y;
            }
        }
        EXPECT_EQ(padded.memory[0], Sentinel);
        SDL_FreeSurface(padded.surface);
    }
}

TEST(PixelAccess, ThreeBytesAreStoredLeastSignificantFirst) {
    PaddedSurface padded = makePadded(3);
    ASSERT_NE(padded.surface, nullptr);
    // The top byte of the value has no place in a 3-byte pixel and must not spill over.
    putPixel(padded.surface, 2, 1, 0xEE000000u + 3 * 65536 + 2 * 256 + 1);
    const Uint8* at = padded.memory.data() + 1 + padded.pitch + 2 * 3;
    EXPECT_EQ(at[0], 1);
    EXPECT_EQ(at[1], 2);
    EXPECT_EQ(at[2], 3);
    EXPECT_EQ(at[3], Sentinel);
    EXPECT_EQ(getPixel(padded.surface, 2, 1), 3u * 65536 + 2 * 256 + 1);
    SDL_FreeSurface(padded.surface);
}

TEST(PixelAccess, DepthsOutsideOneToFourReadZeroAndWriteNothing) {
    std::vector<Uint8> memory(64, Sentinel);
    SDL_PixelFormat format = {};
    SDL_Surface surface = {};
    surface.format = &format;
    surface.w = 2;
    surface.h = 2;
    surface.pitch = 32;
    surface.pixels = memory.data();
    for (Uint8 bytes : {0, 5, 8}) {
        format.BytesPerPixel = bytes;
        EXPECT_EQ(getPixel(&surface, 1, 1), 0u) << int(bytes);
        putPixel(&surface, 1, 1, 0x01020304u);
        putPixel(&surface, 0, 0, 0xFFFFFFFFu);
    }
    EXPECT_EQ(memory, std::vector<Uint8>(64, Sentinel));
}

namespace {

SDL_Surface* makeSheet(int w, int h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, w, h, 32, 0x00FF0000, 0x0000FF00,
                                0x000000FF, 0xFF000000);
}

} // namespace

TEST(FontTint, EveryPixelTakesTheTintAndKeepsItsAlpha) {
    fontImage = makeSheet(3, 2);
    tintedFontImage = makeSheet(3, 2);
    ASSERT_NE(fontImage, nullptr);
    ASSERT_NE(tintedFontImage, nullptr);
    const Uint8 alphas[3] = {0, 128, 255};
    for (int x = 0; x < 3; ++x) {
        for (int y = 0; y < 2; ++y) {
            putPixel(fontImage, x, y,
                     SDL_MapRGBA(fontImage->format, 10 + x, 200 - y, 33, alphas[x]));
            putPixel(tintedFontImage, x, y, SDL_MapRGBA(tintedFontImage->format, 1, 2, 3, 77));
        }
    }
    tintFont(SDL_MapRGB(tintedFontImage->format, 150, 100, 200));
    for (int x = 0; x < 3; ++x) {
        for (int y = 0; y < 2; ++y) {
            Uint8 r = 0, g = 0, b = 0, a = 0;
            SDL_GetRGBA(getPixel(tintedFontImage, x, y), tintedFontImage->format, &r, &g, &b, &a);
            EXPECT_EQ(r, 150);
            EXPECT_EQ(g, 100);
            EXPECT_EQ(b, 200);
            EXPECT_EQ(a, alphas[x]) << x << "," << y;
            // The plain sheet is only read.
            SDL_GetRGBA(getPixel(fontImage, x, y), fontImage->format, &r, &g, &b, &a);
            EXPECT_EQ(r, 10 + x);
            EXPECT_EQ(a, alphas[x]);
        }
    }
    SDL_FreeSurface(fontImage);
    SDL_FreeSurface(tintedFontImage);
    fontImage = tintedFontImage = nullptr;
}

TEST(FontTint, WalksOnlyTheExtentBothSheetsShare) {
    // The file changed between the two loads: the tinted sheet is smaller in one direction
    // and larger in the other. Our own memory, sized exactly, lets AddressSanitizer see strays.
    fontImage = makeSheet(6, 2);
    std::vector<Uint32> tintedMemory(4 * 3, 0x12345678u);
    tintedFontImage = SDL_CreateRGBSurfaceFrom(tintedMemory.data(), 4, 3, 32, 16, 0x00FF0000,
                                               0x0000FF00, 0x000000FF, 0xFF000000);
    ASSERT_NE(tintedFontImage, nullptr);
    SDL_FillRect(fontImage, nullptr, SDL_MapRGBA(fontImage->format, 0, 0, 0, 255));
    tintFont(SDL_MapRGB(tintedFontImage->format, 150, 100, 200));
    const Uint32 purple = SDL_MapRGBA(tintedFontImage->format, 150, 100, 200, 255);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(tintedMemory[static_cast<size_t>(y * 4 + x)], y < 2 ? purple : 0x12345678u);
        }
    }
    SDL_FreeSurface(tintedFontImage);
    SDL_FreeSurface(fontImage);
    fontImage = tintedFontImage = nullptr;
}

TEST(FontTint, AnAbsentSheetLeavesTheOtherUntouched) {
    SDL_Surface* sheet = makeSheet(2, 2);
    SDL_FillRect(sheet, nullptr, 0x11223344u);
    tintedFontImage = sheet;
    tintFont(0xFFFFFFFFu); // no plain sheet
    EXPECT_EQ(getPixel(sheet, 1, 1), 0x11223344u);
    tintedFontImage = nullptr;
    fontImage = sheet;
    tintFont(0xFFFFFFFFu); // no tinted sheet
    EXPECT_EQ(getPixel(sheet, 1, 1), 0x11223344u);
    fontImage = nullptr;
    SDL_FreeSurface(sheet);
}
