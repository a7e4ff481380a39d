// Display depths 8 (palettised), 16, 24 and 32: the whole frame sequence runs on each, and the
// backdrop made on opening matches a plain reference of the filter on each unpalettised format.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "dashboard/backdrop.h"
#include "dashboard/media.h"
#include "gfx/pixels.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"
#include "support/play.h"

namespace {

constexpr int W = 640;
constexpr int H = 480;

// The backdrop filter written the plain way, as the oracle for the game's fast one: channel k
// of pixel (x, y) at [(x * H + y) * 3 + k].
std::vector<int> referenceBackdrop(SDL_Surface* capture) {
    std::vector<int> a(W * H * 3);
    for (int x = 0; x < W; ++x) {
        for (int y = 0; y < H; ++y) {
            Uint8 rgb[3];
            SDL_GetRGB(getPixel(capture, x, y), capture->format, &rgb[0], &rgb[1], &rgb[2]);
            for (int k = 0; k < 3; ++k) {
                a[(x * H + y) * 3 + k] = rgb[k];
            }
        }
    }
    std::vector<int> b = a;
    const int distances[6] = {3, 3, 1, 1, 1, 1};
    for (int pass = 0; pass < 6; ++pass) {
        std::vector<int>& source = pass % 2 == 0 ? a : b;
        std::vector<int>& destination = pass % 2 == 0 ? b : a;
        const int d = distances[pass];
        const int bias = pass == 1 ? 1 : 0;
        for (int x = d; x < W - d; ++x) {
            for (int y = d; y < H - d; ++y) {
                for (int k = 0; k < 3; ++k) {
                    const int sum =
                        source[((x - d) * H + y) * 3 + k] + source[((x + d) * H + y) * 3 + k] +
                        source[(x * H + y - d) * 3 + k] + source[(x * H + y + d) * 3 + k];
                    destination[(x * H + y) * 3 + k] = (sum + bias) / 4;
                }
            }
        }
    }
    for (int& v : a) {
        v = std::min(255, std::max(100, v + 50));
    }
    return a;
}

class DisplayDepth : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(DisplayDepth, TheWholeFrameSequenceRunsAndTheBackdropIsRight) {
    const int depth = GetParam();
    enterScratchFolder(true);
    ASSERT_TRUE(startHeadless(depth));
    ASSERT_EQ(screen->format->BitsPerPixel, depth);
    useFakeClock(1000);
    queryAppState = focusedAppState;

    playClicking(40);
    ASSERT_TRUE(playRoundToItsEnd(0, 100));
    playClicking(20);
    ASSERT_TRUE(openDashboardFully());

    // The capture is the game frame; the filtered backdrop is the reference filter of it.
    ASSERT_NE(backdropCapture, nullptr);
    ASSERT_NE(backdropFiltered, nullptr);
    const std::vector<int> expected = referenceBackdrop(backdropCapture);
    int wrongBytes = 0;
    int wrongPixels = 0;
    for (int x = 0; x < W; ++x) {
        for (int y = 0; y < H; ++y) {
            const int at = (x * H + y) * 3;
            for (int k = 0; k < 3; ++k) {
                wrongBytes += filteredRgb[at + k] != expected[at + k];
            }
            if (screen->format->palette == nullptr) {
                const Uint32 mapped = SDL_MapRGB(
                    backdropFiltered->format, static_cast<Uint8>(expected[at]),
                    static_cast<Uint8>(expected[at + 1]), static_cast<Uint8>(expected[at + 2]));
                wrongPixels += getPixel(backdropFiltered, x, y) != mapped;
            }
        }
    }
    EXPECT_EQ(wrongBytes, 0);
    EXPECT_EQ(wrongPixels, 0);

    // The screenshot is the capture, pixel for pixel in colour. SDL widens a 16-bit pixel for
    // the file by shifting, and reads it back for us with its low bits filled in: the two may
    // differ below the format's own precision, and no further.
    clickSaveScreenshot();
    SDL_Surface* saved = SDL_LoadBMP("screenshot1.bmp");
    ASSERT_NE(saved, nullptr);
    int differing = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            Uint8 r1, g1, b1, r2, g2, b2;
            readRgb(saved, x, y, r1, g1, b1);
            readRgb(backdropCapture, x, y, r2, g2, b2);
            const int lost =
                1 << std::max({backdropCapture->format->Rloss, backdropCapture->format->Gloss,
                               backdropCapture->format->Bloss});
            differing +=
                std::abs(r1 - r2) >= lost || std::abs(g1 - g2) >= lost || std::abs(b1 - b2) >= lost;
        }
    }
    EXPECT_EQ(differing, 0);
    SDL_FreeSurface(saved);

    ASSERT_TRUE(closeDashboardFully());
    playClicking(40);
    EXPECT_FALSE(quitRequested);
}

INSTANTIATE_TEST_SUITE_P(Bits, DisplayDepth, ::testing::Values(8, 16, 24, 32));
