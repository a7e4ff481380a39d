// The culled scene against the straightforward painter's scene, byte for byte, on random worlds
// at every depth, with clipping, on surfaces that must be locked, and in real play.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "game/scene.h"
#include "game/update.h"
#include "game/world.h"
#include "gfx/shapes.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "reference_scene.h"
#include "support/headless.h"

namespace {

void emptyWorld() {
    while (ringCount != 0) {
        removeAt(rings, 0);
    }
    while (enemyCount != 0) {
        removeAt(enemies, 0);
    }
}

Uint32 randomColour(std::mt19937& random) {
    std::uniform_int_distribution<int> channel(0, 255);
    if (random() % 4 == 0) {
        return SDL_MapRGB(screen->format, 0, 0, 0);
    }
    return SDL_MapRGB(screen->format, static_cast<Uint8>(channel(random)),
                      static_cast<Uint8>(channel(random)), static_cast<Uint8>(channel(random)));
}

// Up to 60 rings with centres on and off the screen, radii up to 1300 (sometimes growing
// toward the nearest ring as in play, sometimes in any order, sometimes tiny), any aim, and
// enemies on random rings around their centres.
void makeRandomWorld(std::mt19937& random) {
    emptyWorld();
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int count = static_cast<int>(random() % 61);
    const bool tunnelLike = random() % 2 == 0;
    for (int i = 0; i < count; ++i) {
        double radius = unit(random) * 1300.0;
        if (tunnelLike) {
            radius = 1300.0 * (count - i) / (count + 1) + unit(random) * 20.0;
        }
        if (random() % 10 == 0) {
            radius = random() % 2 == 0 ? 1.0 : unit(random) * 4.0;
        }
        rings[ringCount++] = new Ring{-200.0 + unit(random) * 1040.0, -200.0 + unit(random) * 880.0,
                                      radius, randomColour(random)};
    }
    aimX = unit(random) - 0.5;
    aimY = unit(random) - 0.5;
    const int enemyTotal = count == 0 ? 0 : static_cast<int>(random() % 40);
    for (int i = 0; i < enemyTotal; ++i) {
        Ring* ring = rings[random() % static_cast<unsigned>(count)];
        const double spread = ring->radius * 0.6 + 50.0;
        enemies[enemyCount++] = new Enemy{ring->x + (unit(random) - 0.5) * spread,
                                          ring->y + (unit(random) - 0.5) * spread, 0.0, 0.0, ring};
    }
    nextRingBlack = random() % 2 == 0;
    ringColour = randomColour(random);
    shownHealth = unit(random);
}

std::vector<Uint8> screenBytes() {
    const int rowBytes = ScreenWidth * screen->format->BytesPerPixel;
    std::vector<Uint8> bytes(static_cast<size_t>(rowBytes) * ScreenHeight);
    for (int y = 0; y < ScreenHeight; ++y) {
        std::memcpy(bytes.data() + static_cast<size_t>(y) * rowBytes,
                    static_cast<const Uint8*>(screen->pixels) +
                        static_cast<std::ptrdiff_t>(y) * screen->pitch,
                    static_cast<size_t>(rowBytes));
    }
    return bytes;
}

// The first differing pixel, or an empty text when both frames are the same.
std::string firstDifference(const std::vector<Uint8>& expected, const std::vector<Uint8>& seen) {
    const int bytes = screen->format->BytesPerPixel;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] != seen[i]) {
            const auto pixel = static_cast<int>(i) / bytes;
            return "pixel (" + std::to_string(pixel % ScreenWidth) + ", " +
                   std::to_string(pixel / ScreenWidth) + ")";
        }
    }
    return {};
}

// Draws the world both ways over different leftovers (the same ones when clipped, since the
// part outside the clip keeps them) and compares every byte and the colour left behind.
void expectSameFrame(const std::string& what, bool clipped = false) {
    fillColour = 7;
    SDL_FillRect(screen, nullptr, 0x00A5A5A5u);
    drawReferenceScene();
    const std::vector<Uint8> expected = screenBytes();
    const Uint32 expectedColour = fillColour;
    fillColour = 7;
    SDL_FillRect(screen, nullptr, clipped ? 0x00A5A5A5u : 0x005A5A5Au);
    drawScene();
    ASSERT_EQ(firstDifference(expected, screenBytes()), "") << what;
    ASSERT_EQ(fillColour, expectedColour) << what;
}

// A plain surface of the given depth stands in for the display while the test runs.
class CulledSceneTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        ASSERT_TRUE(startHeadless(32));
        display = screen;
        const int bpp = GetParam();
        Uint32 red = 0xFF0000;
        Uint32 green = 0x00FF00;
        Uint32 blue = 0x0000FF;
        if (bpp == 16) {
            red = 0xF800;
            green = 0x07E0;
            blue = 0x001F;
        } else if (bpp == 8) {
            red = green = blue = 0;
        }
        surface = SDL_CreateRGBSurface(SDL_SWSURFACE, ScreenWidth, ScreenHeight, bpp, red, green,
                                       blue, 0);
        ASSERT_NE(surface, nullptr);
        ASSERT_EQ(surface->format->BitsPerPixel, bpp);
        screen = surface;
    }

    void TearDown() override {
        screen = display;
        SDL_FreeSurface(surface);
    }

    SDL_Surface* display = nullptr;
    SDL_Surface* surface = nullptr;
};

TEST_P(CulledSceneTest, MatchesThePaintersFrameOnRandomWorlds) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed * 7919u + static_cast<unsigned>(GetParam()));
        makeRandomWorld(random);
        expectSameFrame("seed " + std::to_string(seed) + ", " + std::to_string(ringCount) +
                        " rings, " + std::to_string(enemyCount) + " enemies");
    }
}

TEST_P(CulledSceneTest, KeepsToTheClipRectangle) {
    SDL_Rect clip = {100, 50, 300, 200};
    SDL_SetClipRect(screen, &clip);
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        makeRandomWorld(random);
        expectSameFrame("clipped, seed " + std::to_string(seed), true);
    }
}

TEST_P(CulledSceneTest, EdgeWorlds) {
    emptyWorld();
    // Raw colours are always of the surface's own format, as SDL_MapRGB makes them.
    ringColour = SDL_MapRGB(screen->format, 250, 200, 180);
    nextRingBlack = false;
    expectSameFrame("no rings");
    // A single new ring: the far end only through two pixels.
    rings[ringCount++] = new Ring{320.0, 240.0, 1.0, SDL_MapRGB(screen->format, 1, 2, 3)};
    expectSameFrame("radius 1");
    // Zero and negative radii paint whole; a hole far off the screen likewise.
    rings[0]->radius = 0.5;
    expectSameFrame("radius 0");
    rings[0]->radius = -30.0;
    expectSameFrame("negative radius");
    rings[0]->radius = 300.0;
    rings[0]->x = 5000.0;
    expectSameFrame("hole off the screen");
    // An enemy on a ring whose hole is covered by a nearer wall with no hole at all.
    rings[0]->x = 320.0;
    Ring* far = new Ring{320.0, 240.0, 100.0, SDL_MapRGB(screen->format, 9, 9, 9)};
    rings[ringCount++] = far;
    enemies[enemyCount++] = new Enemy{320.0, 240.0, 0.0, 0.0, far};
    rings[0]->radius = 0.0;
    expectSameFrame("hidden enemy");
    rings[0]->radius = 1250.0;
    expectSameFrame("visible enemy");
}

INSTANTIATE_TEST_SUITE_P(Depths, CulledSceneTest, ::testing::Values(8, 16, 24, 32));

TEST(CulledSceneLockTest, SurfacesThatMustBeLockedGoThroughSdlFillRect) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    SDL_Surface* display = screen;
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, ScreenWidth, ScreenHeight, 32,
                                                0xFF0000, 0x00FF00, 0x0000FF, 0);
    ASSERT_NE(surface, nullptr);
    SDL_SetColorKey(surface, SDL_SRCCOLORKEY | SDL_RLEACCEL, 0x123456);
    SDL_BlitSurface(surface, nullptr, display, nullptr); // the first blit run-length encodes
    if (!SDL_MUSTLOCK(surface)) {
        SDL_FreeSurface(surface);
        GTEST_SKIP() << "this SDL keeps run-length surfaces unlocked";
    }
    // Held locked throughout, so that every fill of either scene sees its pixels decoded.
    ASSERT_EQ(SDL_LockSurface(surface), 0);
    screen = surface;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        makeRandomWorld(random);
        expectSameFrame("locked surface, seed " + std::to_string(seed));
    }
    SDL_UnlockSurface(surface);
    screen = display;
    SDL_FreeSurface(surface);
}

// The real game at both display depths: every frame of a minute of play with the mouse moving,
// drawn both ways.
class CulledScenePlayTest : public ::testing::TestWithParam<int> {};

TEST_P(CulledScenePlayTest, MatchesThePaintersFrameInPlay) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(GetParam()));
    std::srand(5);
    resetRound();
    std::mt19937 random(11);
    frameMs = 16;
    for (int frame = 0; frame < 3600; ++frame) {
        pointerActive[0] = true;
        pointerX[0] = static_cast<int>(random() % 641);
        pointerY[0] = static_cast<int>(random() % 480);
        health = 1.0;
        updateWorld();
        if (frame % 12 == 0) {
            expectSameFrame("frame " + std::to_string(frame));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, CulledScenePlayTest, ::testing::Values(16, 32));

} // namespace
