// The game's capture and fade against the straightforward oracle, byte for byte: random
// pictures in 16, 24 and 32-bit formats (either channel order, with and without alpha bits)
// and a palettised one, every whole percent of the fade.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "backdrop_reference.h"
#include "dashboard/backdrop.h"
#include "dashboard_fixture.h"

namespace {

struct Format {
    int bits;
    Uint32 red;
    Uint32 green;
    Uint32 blue;
    Uint32 alpha;
};

Uint8 oracleFiltered[BackdropBytes];
Uint8 oracleCaptured[BackdropBytes];

SDL_Surface* surfaceLike(const Format& f) {
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, f.bits, f.red, f.green, f.blue, f.alpha);
    if (surface != nullptr && surface->format->palette != nullptr) {
        SDL_Color colours[256];
        unsigned seed = 99;
        for (SDL_Color& c : colours) {
            seed = seed * 1103515245u + 12345u;
            c.r = static_cast<Uint8>(seed >> 8);
            c.g = static_cast<Uint8>(seed >> 16);
            c.b = static_cast<Uint8>(seed >> 24);
        }
        SDL_SetColors(surface, colours, 0, 256);
    }
    return surface;
}

// Every byte of the picture random, unused bits included.
void fillRandom(SDL_Surface* surface, unsigned seed) {
    auto* bytes = static_cast<Uint8*>(surface->pixels);
    for (int i = 0; i < surface->pitch * surface->h; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<Uint8>(seed >> 16);
    }
}

std::vector<Uint8> bytesOf(SDL_Surface* surface) {
    const auto* bytes = static_cast<const Uint8*>(surface->pixels);
    return std::vector<Uint8>(bytes,
                              bytes + static_cast<std::ptrdiff_t>(surface->pitch) * surface->h);
}

void copyPixels(SDL_Surface* from, SDL_Surface* to) {
    std::memcpy(to->pixels, from->pixels, static_cast<size_t>(from->pitch) * from->h);
}

// Runs the game's capture and the oracle's on the same random picture in the given format,
// then every fade percent (every step-th for the slow palettised path), and compares arrays,
// work surfaces and screens.
void expectSameAsOracle(const Format& format, unsigned seed, int step = 1) {
    SCOPED_TRACE(::testing::Message()
                 << format.bits << " bits, masks " << std::hex << format.red << " " << format.green
                 << " " << format.blue << " " << format.alpha << ", seed " << std::dec << seed);
    screen = surfaceLike(format);
    ASSERT_NE(screen, nullptr);
    SDL_Surface* oracleScreen = surfaceLike(format);
    backdropCapture = surfaceLike(format);
    backdropFiltered = surfaceLike(format);
    SDL_Surface* oracleCapture = surfaceLike(format);
    SDL_Surface* oracleFilteredSurface = surfaceLike(format);
    fillRandom(screen, seed);
    copyPixels(screen, oracleScreen);

    captureBackdrop();
    reference::capture(oracleScreen, oracleCapture, oracleFilteredSurface, oracleFiltered,
                       oracleCaptured);
    ASSERT_EQ(std::memcmp(filteredRgb, oracleFiltered, BackdropBytes), 0);
    ASSERT_EQ(std::memcmp(capturedRgb, oracleCaptured, BackdropBytes), 0);
    ASSERT_EQ(bytesOf(backdropCapture), bytesOf(oracleCapture));
    ASSERT_EQ(bytesOf(backdropFiltered), bytesOf(oracleFilteredSurface));

    for (int t = 0; t < 100; t += step) {
        drawBackdrop(t + 0.75);
        reference::blend(oracleScreen, oracleFiltered, oracleCaptured, t);
        ASSERT_EQ(std::memcmp(screen->pixels, oracleScreen->pixels, screenBytes()), 0) << "t " << t;
    }
    // Fully open with no filtered surface, the fade at 100 stands in for the blit.
    backdropFiltered = nullptr;
    drawBackdrop(100.0);
    reference::blend(oracleScreen, oracleFiltered, oracleCaptured, 100);
    ASSERT_EQ(bytesOf(screen), bytesOf(oracleScreen));
}

class FastBackdrop : public ::testing::Test {
  protected:
    void SetUp() override { startDashboardTest(32); }
};

} // namespace

TEST_F(FastBackdrop, ThirtyTwoBitsMatchTheOracle) {
    expectSameAsOracle({32, 0xFF0000, 0xFF00, 0xFF, 0}, 1);
    expectSameAsOracle({32, 0xFF, 0xFF00, 0xFF0000, 0}, 2);
    expectSameAsOracle({32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF}, 3);
}

TEST_F(FastBackdrop, TwentyFourBitsMatchTheOracle) {
    expectSameAsOracle({24, 0xFF0000, 0xFF00, 0xFF, 0}, 4);
    expectSameAsOracle({24, 0xFF, 0xFF00, 0xFF0000, 0}, 5);
}

TEST_F(FastBackdrop, SixteenAndFifteenBitsMatchTheOracle) {
    expectSameAsOracle({16, 0xF800, 0x7E0, 0x1F, 0}, 6);
    expectSameAsOracle({16, 0x1F, 0x7E0, 0xF800, 0}, 7);
    expectSameAsOracle({15, 0x7C00, 0x3E0, 0x1F, 0}, 8);
}

TEST_F(FastBackdrop, PalettisedMatchesTheOracle) {
    expectSameAsOracle({8, 0, 0, 0, 0}, 9, 33);
}

TEST_F(FastBackdrop, TheDisplayItselfMatchesTheOracleOnEveryPass) {
    // The real display surface and work surfaces, several random pictures.
    SDL_Surface* display = screen;
    const Format format = {display->format->BitsPerPixel, display->format->Rmask,
                           display->format->Gmask, display->format->Bmask, display->format->Amask};
    for (unsigned seed = 10; seed < 13; ++seed) {
        expectSameAsOracle(format, seed);
    }
}
