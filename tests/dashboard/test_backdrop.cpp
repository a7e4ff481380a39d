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
    int step; // every step-th fade percent is tried (the palettised reference is slow)
};

const Format Formats[] = {{"xrgb8888", 32, 0xFF0000, 0xFF00, 0xFF, 0, 1},
                          {"xbgr8888", 32, 0xFF, 0xFF00, 0xFF0000, 0, 1},
                          {"rgbx8888", 32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF, 1},
                          {"rgb888", 24, 0xFF0000, 0xFF00, 0xFF, 0, 1},
                          {"bgr888", 24, 0xFF, 0xFF00, 0xFF0000, 0, 1},
                          {"rgb565", 16, 0xF800, 0x7E0, 0x1F, 0, 1},
                          {"bgr565", 16, 0x1F, 0x7E0, 0xF800, 0, 1},
                          {"rgb555", 15, 0x7C00, 0x3E0, 0x1F, 0, 1},
                          {"palette8", 8, 0, 0, 0, 0, 11}};

Uint8 referenceFiltered[BackdropBytes];
Uint8 referenceCaptured[BackdropBytes];

// A surface of the format that copies when blitted, as the display does, every byte random
// (unused bits too), and one palette for all.
SDL_Surface* noiseSurface(const Format& f, unsigned seed) {
    SDL_Surface* s = SDL_CreateRGBSurface(0, 640, 480, f.bits, f.red, f.green, f.blue, f.alpha);
    SDL_SetAlpha(s, 0, 255);
    auto* bytes = static_cast<Uint8*>(s->pixels);
    for (int i = 0; i < s->pitch * s->h; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<Uint8>(seed >> 16);
    }
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i) {
        colours[i] = {Uint8(i * 37), Uint8(i * 101), Uint8(i * 7 + 50), 0};
    }
    SDL_SetColors(s, colours, 0, 256);
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
    SDL_Surface* ours[3] = {noiseSurface(f, 7), noiseSurface(f, 8), noiseSurface(f, 9)};
    SDL_Surface* theirs[3] = {noiseSurface(f, 7), noiseSurface(f, 8), noiseSurface(f, 9)};
    screen = ours[0];
    backdropCapture = ours[1];
    backdropFiltered = ours[2];
    captureBackdrop();
    reference::capture(theirs[0], theirs[1], theirs[2], referenceFiltered, referenceCaptured);
    ASSERT_EQ(std::memcmp(filteredRgb, referenceFiltered, BackdropBytes), 0);
    ASSERT_EQ(std::memcmp(capturedRgb, referenceCaptured, BackdropBytes), 0);
    ASSERT_TRUE(samePixels(ours[1], theirs[1]) && samePixels(ours[2], theirs[2]));
    const int edge = reference::indexOf(639, 200); // the outermost frame: raw, only brightened
    EXPECT_EQ(filteredRgb[edge], std::clamp(capturedRgb[edge] + 50, 100, 255));
    for (int t = 0; t < 100; t += f.step) { // weighed by the whole percent below the fraction
        drawBackdrop(t + 0.75);
        reference::blend(theirs[0], referenceFiltered, referenceCaptured, t);
        ASSERT_TRUE(samePixels(screen, theirs[0])) << "t " << t;
    }
    drawBackdrop(100.0); // fully open: the filtered surface as it is
    EXPECT_TRUE(samePixels(screen, backdropFiltered));
    drawBackdrop(0.0); // closed: nothing
    EXPECT_TRUE(samePixels(screen, backdropFiltered));
    backdropFiltered = nullptr; // without it, the fade at 100 stands in
    drawBackdrop(100.0);
    reference::blend(theirs[0], referenceFiltered, referenceCaptured, 100);
    EXPECT_TRUE(samePixels(screen, theirs[0]));
}

INSTANTIATE_TEST_SUITE_P(Formats, BackdropFormats, ::testing::ValuesIn(Formats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Backdrop, UniformCapturesAreBrightenedWithOrWithoutWorkSurfaces) {
    startDashboardTest();
    SDL_Surface* const surfaces[2] = {backdropCapture, backdropFiltered};
    const struct {
        Uint32 shown, backdrop;
        bool surfaces;
    } rows[] = {{0x00A0FF, 0x64D2FF, true},
                {0x3132CD, 0x6464FF, true},
                {0xCC330A, 0xFE6564, true},
                {0x00A0FF, 0x64D2FF, false}};
    for (const auto& row : rows) {
        backdropCapture = row.surfaces ? surfaces[0] : nullptr;
        backdropFiltered = row.surfaces ? surfaces[1] : nullptr;
        paintScreen(row.shown);
        captureBackdrop();
        drawBackdrop(100.0);
        EXPECT_EQ(screenRgb(0, 0), row.backdrop) << std::hex << row.shown << row.surfaces;
        EXPECT_EQ(screenRgb(320, 240), row.backdrop) << std::hex << row.shown << row.surfaces;
    }
}

TEST(Backdrop, ABlurPassTakesTheFourTapsInsideAndOnlyAPassWithBiasRoundsUp) {
    static Uint8 source[BackdropPixels], target[BackdropPixels];
    source[100 * 640 + 100] = 255; // one tap of (97, 100), (103, 100), (100, 97), (100, 103)
    source[10 * 640 + 13] = source[10 * 640 + 7] = source[7 * 640 + 10] = 1; // three of (10, 10)
    const struct {
        int x, y, bias, expected;
    } rows[] = {{97, 100, 0, 63}, {100, 103, 0, 63}, {100, 100, 0, 0}, {99, 100, 0, 0},
                {10, 10, 0, 0},   {10, 10, 1, 1},    {2, 100, 0, 7},   {637, 100, 0, 7},
                {100, 2, 0, 7},   {100, 477, 0, 7},  {636, 476, 0, 0}, {3, 3, 0, 0}};
    for (const auto& row : rows) {
        std::memset(target, 7, sizeof target);
        crossAverage(source, target, 3, row.bias);
        EXPECT_EQ(target[row.y * 640 + row.x], row.expected) << row.x << "," << row.y;
    }
}
