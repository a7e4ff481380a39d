// The backdrop: capture, the six blur passes, the brighten, the fade and its packing, and a
// capture with no work surfaces.
#include <gtest/gtest.h>

#include <cstring>

#include "dashboard/backdrop.h"
#include "dashboard/controller.h"
#include "dashboard/state.h"
#include "dashboard_fixture.h"
#include "gfx/pixels.h"

namespace {

int at(int x, int y, int k) {
    return (x * 480 + y) * 3 + k;
}

// The opening press of a closed dashboard, run on whatever the screen shows now.
void openOverCurrentScreen() {
    dashboardOpen = false;
    dashboardFraction = 0.0;
    pressEscapeNow();
    updateDashboardBackdrop();
    releaseKeysNow();
}

Uint8 brightened(int v) {
    return static_cast<Uint8>(v + 50 > 255 ? 255 : (v < 50 ? 100 : v + 50));
}

Uint8 raw[BackdropBytes];

} // namespace

TEST(BackdropFilter, UniformCaptureStaysUniformAndIsBrightened) {
    startDashboardTest(32);
    fillScreen(0, 160, 255);
    openOverCurrentScreen();
    EXPECT_NEAR(dashboardFraction, 7.1667, 0.00005);
    for (int i = 0; i < BackdropBytes; i += 3) {
        ASSERT_EQ(filteredRgb[i], 100) << i;
        ASSERT_EQ(filteredRgb[i + 1], 210) << i;
        ASSERT_EQ(filteredRgb[i + 2], 255) << i;
        ASSERT_EQ(capturedRgb[i], 0) << i;
        ASSERT_EQ(capturedRgb[i + 1], 160) << i;
        ASSERT_EQ(capturedRgb[i + 2], 255) << i;
    }
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    readRgb(backdropFiltered, 321, 17, r, g, b);
    EXPECT_EQ(r, 100);
    EXPECT_EQ(g, 210);
    EXPECT_EQ(b, 255);
    readRgb(backdropCapture, 639, 479, r, g, b);
    EXPECT_EQ(g, 160);
}

namespace {

int on(int x, int y) {
    return y * 640 + x;
}

} // namespace

TEST(BackdropFilter, OnlyPassTwoRoundsUp) {
    static Uint8 source[BackdropPixels];
    static Uint8 destination[BackdropPixels];
    // Taps of (10, 10) at distance 3 sum to 3.
    source[on(7, 10)] = 1;
    source[on(13, 10)] = 1;
    source[on(10, 7)] = 1;
    crossAverage(source, destination, 3, 1);
    EXPECT_EQ(destination[on(10, 10)], 1);
    crossAverage(source, destination, 3, 0);
    EXPECT_EQ(destination[on(10, 10)], 0);
}

TEST(BackdropFilter, SingleBrightPixelSpreadsToItsFourTapsOnly) {
    static Uint8 source[BackdropPixels];
    static Uint8 destination[BackdropPixels];
    source[on(100, 100)] = 255;
    std::memset(destination, 7, sizeof destination);
    destination[on(100, 100)] = 255;
    crossAverage(source, destination, 3, 0);
    EXPECT_EQ(destination[on(97, 100)], 63);
    EXPECT_EQ(destination[on(103, 100)], 63);
    EXPECT_EQ(destination[on(100, 97)], 63);
    EXPECT_EQ(destination[on(100, 103)], 63);
    EXPECT_EQ(destination[on(100, 100)], 0);
    EXPECT_EQ(destination[on(99, 100)], 0);
    // Outside the range whose taps lie in the picture nothing is written.
    EXPECT_EQ(destination[on(2, 100)], 7);
    EXPECT_EQ(destination[on(637, 100)], 7);
    EXPECT_EQ(destination[on(100, 2)], 7);
    EXPECT_EQ(destination[on(100, 477)], 7);
    EXPECT_EQ(destination[on(3, 3)], 0);
    EXPECT_EQ(destination[on(636, 476)], 0);
    EXPECT_EQ(destination[on(636, 3)], 0);
    EXPECT_EQ(destination[on(3, 476)], 0);
}

TEST(BackdropFilter, OutermostFrameIsTheRawCaptureBrightenedAndTheRestIsBlurred) {
    startDashboardTest(32);
    fillScreenWithNoise(7);
    openOverCurrentScreen();
    int blurredDiffers = 0;
    for (int x = 0; x < 640; ++x) {
        for (int y = 0; y < 480; ++y) {
            for (int k = 0; k < 3; ++k) {
                const int i = at(x, y, k);
                if (x == 0 || x == 639 || y == 0 || y == 479) {
                    ASSERT_EQ(filteredRgb[i], brightened(capturedRgb[i])) << x << "," << y;
                } else if (filteredRgb[i] != brightened(capturedRgb[i])) {
                    ++blurredDiffers;
                }
            }
        }
    }
    EXPECT_GT(blurredDiffers, 600000);
}

TEST(BackdropFilter, CaptureFillsBothSurfacesFromTheArrays) {
    startDashboardTest(32);
    fillScreenWithNoise(11);
    std::memcpy(raw, screen->pixels, sizeof raw); // the first 921600 bytes of the screen
    openOverCurrentScreen();
    EXPECT_EQ(std::memcmp(backdropCapture->pixels, raw, sizeof raw), 0);
    for (int y = 0; y < 480; y += 7) {
        for (int x = 0; x < 640; x += 5) {
            Uint8 rgb[3];
            readRgb(backdropFiltered, x, y, rgb[0], rgb[1], rgb[2]);
            for (int k = 0; k < 3; ++k) {
                ASSERT_EQ(rgb[k], filteredRgb[at(x, y, k)]) << x << "," << y;
            }
            readRgb(screen, x, y, rgb[0], rgb[1], rgb[2]);
            for (int k = 0; k < 3; ++k) {
                ASSERT_EQ(rgb[k], capturedRgb[at(x, y, k)]) << x << "," << y;
            }
        }
    }
}

namespace {

// Every pixel of the screen against the fade of the arrays at whole percent t.
void expectBlend(int t) {
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            Uint8 rgb[3];
            readRgb(screen, x, y, rgb[0], rgb[1], rgb[2]);
            for (int k = 0; k < 3; ++k) {
                const int p = filteredRgb[at(x, y, k)];
                const int q = capturedRgb[at(x, y, k)];
                const int mixed = (p * t + q * (100 - t)) / 100;
                const int loss = k == 0 ? screen->format->Rloss
                                        : (k == 1 ? screen->format->Gloss : screen->format->Bloss);
                ASSERT_EQ(rgb[k] >> loss, mixed >> loss) << x << "," << y << " t " << t;
            }
        }
    }
}

// Counts the bytes where weighting by the exact fraction would give another value than by t.
int bytesChangedByTruncation(double fraction) {
    const int t = static_cast<int>(fraction);
    int changed = 0;
    for (int i = 0; i < BackdropBytes; ++i) {
        const int byT = (filteredRgb[i] * t + capturedRgb[i] * (100 - t)) / 100;
        const auto byFraction =
            static_cast<int>((filteredRgb[i] * fraction + capturedRgb[i] * (100 - fraction)) / 100);
        changed += byT != byFraction ? 1 : 0;
    }
    return changed;
}

} // namespace

namespace {

void expectFadeByTruncatedPercent(int bpp) {
    startDashboardTest(bpp);
    fillScreenWithNoise(3);
    openOverCurrentScreen();
    drawBackdrop(7.1667);
    expectBlend(7);
    EXPECT_GT(bytesChangedByTruncation(7.1667), 1000);
    drawBackdrop(99.6872);
    expectBlend(99);
    EXPECT_GT(bytesChangedByTruncation(99.6872), 1000);
}

} // namespace

TEST(BackdropFade, WeighsByTheTruncatedPercentAt32Bits) {
    expectFadeByTruncatedPercent(32);
}
TEST(BackdropFade, WeighsByTheTruncatedPercentAt16Bits) {
    expectFadeByTruncatedPercent(16);
}

TEST(BackdropFade, NothingAtClosedFilteredAtOpenRawAtTheLastClosingStep) {
    startDashboardTest(32);
    fillScreenWithNoise(5);
    openOverCurrentScreen();
    fillScreen(1, 2, 3);
    drawBackdrop(0.0);
    Uint8 rgb[3];
    readRgb(screen, 200, 200, rgb[0], rgb[1], rgb[2]);
    EXPECT_EQ(rgb[2], 3);
    drawBackdrop(100.0);
    EXPECT_EQ(std::memcmp(screen->pixels, backdropFiltered->pixels, screenBytes()), 0);
    drawBackdrop(0.3128);
    EXPECT_EQ(std::memcmp(screen->pixels, backdropCapture->pixels, screenBytes()), 0);
}

TEST(BackdropFade, PalettedDisplayIsServedThroughItsPalette) {
    startDashboardTest(8);
    ASSERT_NE(screen->format->palette, nullptr);
    fillScreenWithNoise(9);
    openOverCurrentScreen();
    drawBackdrop(50.0);
    for (int y = 0; y < 480; y += 13) {
        for (int x = 0; x < 640; x += 11) {
            Uint8 mixed[3];
            for (int k = 0; k < 3; ++k) {
                mixed[k] = static_cast<Uint8>(
                    (filteredRgb[at(x, y, k)] * 50 + capturedRgb[at(x, y, k)] * 50) / 100);
            }
            ASSERT_EQ(getPixel(screen, x, y),
                      SDL_MapRGB(screen->format, mixed[0], mixed[1], mixed[2]))
                << x << "," << y;
        }
    }
}

TEST(BackdropFade, WithoutWorkSurfacesTheArraysStillMakeTheBackdrop) {
    startDashboardTest(32);
    backdropCapture = nullptr;
    backdropFiltered = nullptr;
    fillScreen(0, 160, 255);
    openOverCurrentScreen();
    EXPECT_EQ(capturedRgb[at(5, 5, 1)], 160);
    EXPECT_EQ(filteredRgb[at(5, 5, 1)], 210);
    drawBackdrop(100.0);
    Uint8 rgb[3];
    readRgb(screen, 320, 240, rgb[0], rgb[1], rgb[2]);
    EXPECT_EQ(rgb[0], 100);
    EXPECT_EQ(rgb[1], 210);
    EXPECT_EQ(rgb[2], 255);
}
