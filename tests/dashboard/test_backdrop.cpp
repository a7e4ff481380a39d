// The backdrop: the game's capture and fade byte for byte against the straightforward reference
// in every display format that matters, and the design's edge cases.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "backdrop_reference.h"
#include "dashboard/backdrop.h"
#include "dashboard_fixture.h"
#include "support/noise_picture.h"

namespace {

struct Format {
    const char* name;
    int bits;
    Uint32 red, green, blue, alpha;
    int step; // fade percents tried: every step-th (the palettised reference is slow)
};

const Format Formats[] = {
    {"xrgb8888", 32, 0xFF0000, 0xFF00, 0xFF, 0, 1},
    {"xbgr8888", 32, 0xFF, 0xFF00, 0xFF0000, 0, 1},
    {"rgba8888", 32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF, 1},
    {"rgb888", 24, 0xFF0000, 0xFF00, 0xFF, 0, 1},
    {"bgr888", 24, 0xFF, 0xFF00, 0xFF0000, 0, 1},
    {"rgb565", 16, 0xF800, 0x7E0, 0x1F, 0, 1},
    {"bgr565", 16, 0x1F, 0x7E0, 0xF800, 0, 1},
    {"rgb555", 15, 0x7C00, 0x3E0, 0x1F, 0, 1},
    {"palette8", 8, 0, 0, 0, 0, 11},
};

std::ostream& operator<<(std::ostream& out, const Format& f) {
    return out << f.name;
}

Uint8 referenceFiltered[BackdropBytes];
Uint8 referenceCaptured[BackdropBytes];

// A surface of the format that copies when blitted, as the display does, with every byte random
// (unused bits too) and one palette for all.
SDL_Surface* noiseSurface(const Format& f, unsigned seed) {
    SDL_Surface* s = SDL_CreateRGBSurface(0, 640, 480, f.bits, f.red, f.green, f.blue, f.alpha);
    SDL_SetAlpha(s, 0, 255);
    auto* bytes = static_cast<Uint8*>(s->pixels);
    for (int i = 0; i < s->pitch * s->h; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<Uint8>(seed >> 16);
    }
    if (s->format->palette != nullptr) {
        SDL_Color colours[256];
        for (int i = 0; i < 256; ++i) {
            colours[i] = {Uint8(i * 37), Uint8(i * 101), Uint8(i * 7 + 50), 0};
        }
        SDL_SetColors(s, colours, 0, 256);
    }
    return s;
}

bool samePixels(SDL_Surface* a, SDL_Surface* b) {
    return std::memcmp(a->pixels, b->pixels, static_cast<size_t>(a->pitch) * a->h) == 0;
}

int brightened(int v) {
    return v < 50 ? 100 : std::min(255, v + 50);
}

class BackdropFormats : public ::testing::TestWithParam<Format> {};

} // namespace

TEST_P(BackdropFormats, CaptureAndFadeMatchTheReference) {
    const Format& f = GetParam();
    startDashboardTest(32);
    screen = noiseSurface(f, 7);
    backdropCapture = noiseSurface(f, 8);
    backdropFiltered = noiseSurface(f, 9);
    SDL_Surface* referenceScreen = noiseSurface(f, 7);
    SDL_Surface* referenceCapture = noiseSurface(f, 8);
    SDL_Surface* referenceFilteredSurface = noiseSurface(f, 9);

    captureBackdrop();
    reference::capture(referenceScreen, referenceCapture, referenceFilteredSurface,
                       referenceFiltered, referenceCaptured);
    ASSERT_EQ(std::memcmp(filteredRgb, referenceFiltered, BackdropBytes), 0);
    ASSERT_EQ(std::memcmp(capturedRgb, referenceCaptured, BackdropBytes), 0);
    ASSERT_TRUE(samePixels(backdropCapture, referenceCapture));
    ASSERT_TRUE(samePixels(backdropFiltered, referenceFilteredSurface));
    // The outermost frame is the raw capture, brightened but not blurred.
    for (int x = 0; x < 640; ++x) {
        for (int y = 0; y < 480; y += (x == 0 || x == 639) ? 1 : 479) {
            const int at = reference::indexOf(x, y);
            ASSERT_EQ(filteredRgb[at], brightened(capturedRgb[at])) << x << "," << y;
        }
    }
    // The fade weighs by the whole percent below the fraction.
    for (int t = 0; t < 100; t += f.step) {
        drawBackdrop(t + 0.75);
        reference::blend(referenceScreen, referenceFiltered, referenceCaptured, t);
        ASSERT_TRUE(samePixels(screen, referenceScreen)) << "t " << t;
    }
    // Fully open without a filtered surface, the fade at 100 stands in for its blit.
    backdropFiltered = nullptr;
    drawBackdrop(100.0);
    reference::blend(referenceScreen, referenceFiltered, referenceCaptured, 100);
    EXPECT_TRUE(samePixels(screen, referenceScreen));
}

INSTANTIATE_TEST_SUITE_P(Formats, BackdropFormats, ::testing::ValuesIn(Formats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Backdrop, UniformCapturesBrightenWithOrWithoutWorkSurfaces) {
    startDashboardTest(32);
    SDL_Surface* const surfaces[2] = {backdropCapture, backdropFiltered};
    const struct {
        Uint32 shown, backdrop;
        bool surfaces;
    } rows[] = {{0x00A0FF, 0x64D2FF, true},
                {0x3132CD, 0x6464FF, true},
                {0xCC330A, 0xFE6564, true},
                {0x00A0FF, 0x64D2FF, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.shown << " " << row.surfaces);
        backdropCapture = row.surfaces ? surfaces[0] : nullptr;
        backdropFiltered = row.surfaces ? surfaces[1] : nullptr;
        paintScreen(row.shown);
        captureBackdrop();
        for (int i = 0; i < BackdropBytes; ++i) {
            ASSERT_EQ(capturedRgb[i], Uint8(row.shown >> (16 - 8 * (i % 3)))) << i;
            ASSERT_EQ(filteredRgb[i], Uint8(row.backdrop >> (16 - 8 * (i % 3)))) << i;
        }
        drawBackdrop(100.0);
        EXPECT_EQ(screenRgb(639, 479), row.backdrop);
    }
}

TEST(Backdrop, NothingAtClosedFilteredWhenOpenRawAtTheLastClosingStep) {
    startDashboardTest(32);
    fillScreenWithNoise(5);
    captureBackdrop();
    const struct {
        double fraction;
        SDL_Surface* shows; // nullptr: the screen is left as it was
    } rows[] = {{0.0, nullptr}, {100.0, backdropFiltered}, {0.3128, backdropCapture}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fraction);
        paintScreen(0x010203);
        drawBackdrop(row.fraction);
        if (row.shows != nullptr) {
            EXPECT_TRUE(samePixels(screen, row.shows));
        } else {
            EXPECT_EQ(boxWhere(0, 479, [](Uint32 rgb) { return rgb != 0x010203; })[0], -1);
        }
    }
}

TEST(Backdrop, EachBlurPassTakesTheFourTapsAndOnlyThePassWithBiasRoundsUp) {
    static Uint8 source[BackdropPixels];
    static Uint8 target[BackdropPixels];
    auto at = [](int x, int y) { return y * 640 + x; };
    source[at(100, 100)] = 255; // taps of (103, 100) and of (97, 100), among others
    source[at(13, 10)] = 1;     // three taps of (10, 10) summing to 3
    source[at(7, 10)] = 1;
    source[at(10, 7)] = 1;
    const struct {
        int x, y, bias, expected;
    } rows[] = {{97, 100, 0, 63}, {103, 100, 0, 63}, {100, 97, 0, 63}, {100, 103, 0, 63},
                {100, 100, 0, 0}, {99, 100, 0, 0},   {10, 10, 0, 0},   {10, 10, 1, 1},
                {2, 100, 0, 7},   {637, 100, 0, 7},  {100, 2, 0, 7},   {100, 477, 0, 7},
                {636, 476, 0, 0}, {3, 3, 0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.x << "," << row.y << " bias " << row.bias);
        std::memset(target, 7, sizeof target);
        crossAverage(source, target, 3, row.bias);
        EXPECT_EQ(target[at(row.x, row.y)], row.expected);
    }
}
