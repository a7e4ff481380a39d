// The backdrop: the game's capture and fade byte for byte against the straightforward reference
// in every display format that matters, and the design's edge cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "backdrop_reference.h"
#include "dashboard/backdrop.h"
#include "dashboard_fixture.h"

namespace {

struct Format {
    const char* name;
    int bits;
    Uint32 red, green, blue, alpha;
};

const Format Formats[] = {{"xrgb8888", 32, 0xFF0000, 0xFF00, 0xFF, 0},
                          {"xbgr8888", 32, 0xFF, 0xFF00, 0xFF0000, 0},
                          {"rgbx8888", 32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF},
                          {"rgb888", 24, 0xFF0000, 0xFF00, 0xFF, 0},
                          {"bgr888", 24, 0xFF, 0xFF00, 0xFF0000, 0},
                          {"rgb565", 16, 0xF800, 0x7E0, 0x1F, 0},
                          {"bgr565", 16, 0x1F, 0x7E0, 0xF800, 0},
                          {"rgb555", 15, 0x7C00, 0x3E0, 0x1F, 0},
                          {"palette8", 8, 0, 0, 0, 0}};

Uint8 referenceFiltered[BackdropBytes];
Uint8 referenceCaptured[BackdropBytes];

// A surface of the format that copies when blitted, as the display does, every byte random
// (unused bits too); palettised, the first random bytes are the palette.
SDL_Surface* noiseSurface(const Format& f) {
    SDL_Surface* s = SDL_CreateRGBSurface(0, 640, 480, f.bits, f.red, f.green, f.blue, f.alpha);
    SDL_SetAlpha(s, 0, 255);
    auto* bytes = static_cast<Uint8*>(s->pixels);
    for (unsigned i = 0, seed = 7; i < unsigned(s->pitch * s->h); ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<Uint8>(seed >> 16);
    }
    SDL_SetColors(s, reinterpret_cast<SDL_Color*>(bytes), 0, 256);
    return s;
}

bool samePixels(SDL_Surface* a, SDL_Surface* b) {
    return std::memcmp(a->pixels, b->pixels, static_cast<size_t>(a->pitch) * a->h) == 0;
}

class BackdropFormats : public ::testing::TestWithParam<Format> {};

} // namespace

TEST_P(BackdropFormats, CaptureAndFadeMatchTheReference) {
    const Format& f = GetParam();
    startDashboardTest();
    SDL_Surface* theirs = noiseSurface(f);
    screen = noiseSurface(f);
    backdropCapture = noiseSurface(f);
    backdropFiltered = noiseSurface(f);
    SDL_Surface* theirCapture = noiseSurface(f);
    SDL_Surface* theirFiltered = noiseSurface(f);
    captureBackdrop();
    reference::capture(theirs, theirCapture, theirFiltered, referenceFiltered, referenceCaptured);
    ASSERT_EQ(std::memcmp(filteredRgb, referenceFiltered, BackdropBytes), 0);
    ASSERT_EQ(std::memcmp(capturedRgb, referenceCaptured, BackdropBytes), 0);
    ASSERT_TRUE(samePixels(backdropCapture, theirCapture));
    ASSERT_TRUE(samePixels(backdropFiltered, theirFiltered));
    const int edge = reference::indexOf(639, 200); // the outermost frame: raw, only brightened
    EXPECT_EQ(filteredRgb[edge], std::clamp(capturedRgb[edge] + 50, 100, 255));
    for (int t = 0; t < 100; t += f.bits == 8 ? 11 : 1) { // by the whole percent below
        drawBackdrop(t + 0.75);
        reference::blend(theirs, referenceFiltered, referenceCaptured, t);
        ASSERT_TRUE(samePixels(screen, theirs)) << "t " << t;
    }
    drawBackdrop(100.0); // fully open: the filtered surface as it is
    EXPECT_TRUE(samePixels(screen, backdropFiltered));
    drawBackdrop(0.0); // closed: nothing
    EXPECT_TRUE(samePixels(screen, backdropFiltered));
    backdropCapture = backdropFiltered = nullptr; // without work surfaces the arrays serve
    screen = noiseSurface(f);
    captureBackdrop();
    drawBackdrop(100.0);
    reference::blend(theirs, referenceFiltered, referenceCaptured, 100);
    EXPECT_TRUE(samePixels(screen, theirs));
}

INSTANTIATE_TEST_SUITE_P(Formats, BackdropFormats, ::testing::ValuesIn(Formats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Backdrop, AUniformCaptureIsThatColourBrightened) {
    startDashboardTest();
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 160, 255));
    captureBackdrop();
    drawBackdrop(100.0);
    EXPECT_EQ(screenRgb(0, 0), 0x64D2FFu); // the raw outermost frame
    EXPECT_EQ(screenRgb(320, 240), 0x64D2FFu);
}

TEST(Backdrop, ABlurPassTakesTheFourTapsInsideAndOnlyAPassWithBiasRoundsUp) {
    static Uint8 source[BackdropPixels], target[BackdropPixels];
    source[100 * 640 + 100] = 255;                                           // a tap of (97, 100)
    source[10 * 640 + 13] = source[10 * 640 + 7] = source[7 * 640 + 10] = 1; // three of (10, 10)
    const int rows[][4] = {{97, 100, 0, 63}, {100, 100, 0, 0}, {10, 10, 0, 0},  {10, 10, 1, 1},
                           {2, 100, 0, 7},   {100, 477, 0, 7}, {636, 476, 0, 0}};
    for (const auto& row : rows) { // x, y, bias, what (x, y) gets
        std::memset(target, 7, sizeof target);
        crossAverage(source, target, 3, row[2]);
        EXPECT_EQ(target[row[1] * 640 + row[0]], row[3]) << row[0] << "," << row[1];
    }
}
