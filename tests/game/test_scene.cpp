// The tunnel scene: the culled scene against the painter's reference byte for byte at every
// depth (random worlds, clipped, edge worlds, a surface that must be locked, real play), then
// the health bar and the score lines read back from the screen.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "game/hud.h"
#include "game/scene.h"
#include "game/update.h"
#include "game/world.h"
#include "gfx/pixels.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "reference_scene.h"
#include "support/headless.h"
#include "support/numbered_font.h"

namespace {

Uint32 colour(Uint8 r, Uint8 g, Uint8 b) {
    return SDL_MapRGB(screen->format, r, g, b);
}

void emptyWorld() {
    while (ringCount != 0) {
        removeAt(rings, 0);
    }
    while (enemyCount != 0) {
        removeAt(enemies, 0);
    }
}

// Up to 60 rings on and off the screen, radii up to 1300 (in tunnel order or any order, now and
// then tiny), any aim, enemies on random rings around their centres.
void makeRandomWorld(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto anyColour = [&] {
        return random() % 4 == 0 ? colour(0, 0, 0) : colour(random(), random(), random());
    };
    emptyWorld();
    const int count = static_cast<int>(random() % 61);
    const bool tunnelLike = random() % 2 == 0;
    for (int i = 0; i < count; ++i) {
        double radius = tunnelLike ? 1300.0 * (count - i) / (count + 1) + unit(random) * 20.0
                                   : unit(random) * 1300.0;
        radius = random() % 10 == 0 ? (random() % 2 == 0 ? 1.0 : unit(random) * 4.0) : radius;
        rings[ringCount++] = new Ring{-200.0 + unit(random) * 1040.0, -200.0 + unit(random) * 880.0,
                                      radius, anyColour()};
    }
    aimX = unit(random) - 0.5;
    aimY = unit(random) - 0.5;
    for (int i = 0, n = count == 0 ? 0 : static_cast<int>(random() % 40); i < n; ++i) {
        Ring* ring = rings[random() % static_cast<unsigned>(count)];
        const double spread = ring->radius * 0.6 + 50.0;
        enemies[enemyCount++] = new Enemy{ring->x + (unit(random) - 0.5) * spread,
                                          ring->y + (unit(random) - 0.5) * spread, 0.0, 0.0, ring};
    }
    nextRingBlack = random() % 2 == 0;
    ringColour = anyColour();
    shownHealth = unit(random);
}

std::vector<Uint8> screenRows() {
    SDL_LockSurface(screen);
    const size_t row = static_cast<size_t>(ScreenWidth * screen->format->BytesPerPixel);
    std::vector<Uint8> bytes(row * ScreenHeight);
    for (size_t y = 0; y < ScreenHeight; ++y) {
        std::memcpy(&bytes[y * row], static_cast<Uint8*>(screen->pixels) + y * screen->pitch, row);
    }
    SDL_UnlockSurface(screen);
    return bytes;
}

// Both scenes over different leftovers (the same when clipped: outside the clip they stay), then
// every byte and the fill colour left behind must agree.
void expectSameFrame(const std::string& what, bool clipped = false) {
    fillColour = 7;
    SDL_FillRect(screen, nullptr, 0x00A5A5A5u);
    drawReferenceScene();
    const std::vector<Uint8> expected = screenRows();
    const Uint32 expectedColour = fillColour;
    fillColour = 7;
    SDL_FillRect(screen, nullptr, clipped ? 0x00A5A5A5u : 0x005A5A5Au);
    drawScene();
    const std::vector<Uint8> seen = screenRows();
    const auto at =
        std::mismatch(expected.begin(), expected.end(), seen.begin()).first - expected.begin();
    const int pixel = static_cast<int>(at) / screen->format->BytesPerPixel;
    ASSERT_TRUE(expected == seen) << what << ": pixel " << pixel % 640 << "," << pixel / 640;
    ASSERT_EQ(fillColour, expectedColour) << what;
}

class CulledScene : public ::testing::TestWithParam<int> {};

TEST_P(CulledScene, MatchesThePaintersSceneByteForByte) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    const int bpp = GetParam();
    const Uint32 masks[4][3] = {
        {0, 0, 0}, {0xF800, 0x07E0, 0x001F}, {0xFF0000, 0xFF00, 0xFF}, {0xFF0000, 0xFF00, 0xFF}};
    const Uint32* m = masks[bpp / 8 - 1];
    screen =
        SDL_CreateRGBSurface(SDL_SWSURFACE, ScreenWidth, ScreenHeight, bpp, m[0], m[1], m[2], 0);
    ASSERT_EQ(screen->format->BitsPerPixel, bpp);
    for (unsigned seed = 1; seed <= 200; ++seed) {
        makeRandomWorld(seed * 7919u + static_cast<unsigned>(bpp));
        expectSameFrame("seed " + std::to_string(seed));
    }
    const SDL_Rect clip = {100, 50, 300, 200};
    SDL_SetClipRect(screen, &clip);
    for (unsigned seed = 1; seed <= 30; ++seed) {
        makeRandomWorld(seed);
        expectSameFrame("clipped, seed " + std::to_string(seed), true);
    }
    SDL_SetClipRect(screen, nullptr);
    // Edge worlds, each row a change to the one before.
    emptyWorld();
    ringColour = colour(250, 200, 180);
    nextRingBlack = false;
    const std::pair<const char*, std::function<void()>> edges[] = {
        {"no rings", [] {}},
        {"one new ring: the far end through two pixels",
         [] {
             rings[ringCount++] = new Ring{320, 240, 1, colour(1, 2, 3)};
         }},
        {"radius 0", [] { rings[0]->radius = 0.5; }},
        {"negative radius", [] { rings[0]->radius = -30.0; }},
        {"hole off the screen", [] { rings[0]->radius = 300.0, rings[0]->x = 5000.0; }},
        {"an enemy behind a wall with no hole",
         [] {
             rings[0]->x = 320.0;
             rings[0]->radius = 0.0;
             rings[ringCount++] = new Ring{320, 240, 100, colour(9, 9, 9)};
             enemies[enemyCount++] = new Enemy{320, 240, 0, 0, rings[1]};
         }},
        {"the enemy seen through a near hole", [] { rings[0]->radius = 1250.0; }},
    };
    for (const auto& [what, change] : edges) {
        change();
        expectSameFrame(what);
    }
    // Real play: a few hundred frames with the pointer moving.
    std::srand(5);
    resetRound();
    std::mt19937 random(11);
    frameMs = 16;
    for (int frame = 0; frame < 900; ++frame) {
        pointerActive[0] = true;
        pointerX[0] = static_cast<int>(random() % 641);
        pointerY[0] = static_cast<int>(random() % 480);
        health = 1.0;
        updateWorld();
        if (frame % 30 == 0) {
            expectSameFrame("frame " + std::to_string(frame));
        }
    }
    // A surface that must be locked (run-length encoded) goes through SDL_FillRect.
    SDL_SetColorKey(screen, SDL_SRCCOLORKEY | SDL_RLEACCEL, 0x123);
    SDL_Surface* target = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 32, 0, 0, 0, 0);
    SDL_BlitSurface(screen, nullptr, target, nullptr); // the first blit encodes
    SDL_FreeSurface(target);
    if (SDL_MUSTLOCK(screen)) {
        for (unsigned seed = 1; seed <= 10; ++seed) {
            makeRandomWorld(seed);
            SDL_LockSurface(screen); // held, so both scenes see the pixels decoded
            expectSameFrame("locked, seed " + std::to_string(seed));
            SDL_UnlockSurface(screen);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, CulledScene, ::testing::Values(8, 16, 24, 32));

class Hud : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        ASSERT_TRUE(startHeadless(32));
        useNumberedSheets();
    }
};

// Rows: the shown health, then the bar's width in its black frame x 18..621, y 423..451.
TEST_F(Hud, TheHealthBarIsAsWideAsTheShownHealth) {
    const Uint32 black = colour(0, 0, 0), tint = colour(TintRed, TintGreen, TintBlue);
    const std::pair<double, int> rows[] = {{0.5, 300}, {0.999, 599}, {1.0, 600}, {0.0, 0}};
    for (const auto& [shown, width] : rows) {
        SCOPED_TRACE(shown);
        shownHealth = shown;
        drawScene();
        for (const auto& [x, y] :
             {std::pair{18, 423}, {621, 451}, {19, 437}, {620, 437}, {20 + width, 437}}) {
            EXPECT_EQ(getPixel(screen, x, y), black) << x << "," << y;
        }
        for (const auto& [x, y] : {std::pair{17, 437}, {622, 437}, {300, 452}}) {
            EXPECT_NE(getPixel(screen, x, y), black) << x << "," << y;
        }
        EXPECT_EQ(width == 0 || getPixel(screen, 20, 425) == tint, true);
        EXPECT_EQ(width == 0 || getPixel(screen, 19 + width, 449) == tint, true);
    }
}

// Rows: the best and the round's score, then probes (x, y, the sheet, the character or none):
// the digits start in column 135, the dark outline reaches two pixels out, the score line lies
// on top, and the widest numbers fit.
TEST_F(Hud, TheScoreLinesPlaceEveryCharacter) {
    struct Probe {
        int x, y;
        Uint8 mark;
        char c; // 0: no cell
    };
    const struct {
        int best, score;
        std::vector<Probe> probes;
    } rows[] = {
        {120,
         35,
         {{134, 422, TintedMark, ' '},
          {135, 422, TintedMark, '1'},
          {146, 432, TintedMark, '2'},
          {157, 422, TintedMark, '0'},
          {25, 432, TintedMark, 'H'},
          {135, 445, TintedMark, '3'},
          {146, 455, TintedMark, '5'},
          {25, 445, TintedMark, 'S'}}},
        {7,
         9,
         {{23, 445, PlainMark, 'S'},
          {22, 445, PlainMark, 0},
          {149, 445, TintedMark, '9'},
          {151, 445, PlainMark, '9'},
          {152, 445, PlainMark, 0},
          {30, 457, PlainMark, 'S'},
          {30, 458, PlainMark, 0},
          {30, 433, PlainMark, 'S'},
          {30, 432, TintedMark, 'H'},
          {30, 418, PlainMark, 'H'},
          {30, 417, PlainMark, 0}}},
        {INT_MIN,
         INT_MAX,
         {{135, 425, TintedMark, '-'},
          {245, 425, TintedMark, '8'},
          {259, 425, TintedMark, '8'},
          {135, 450, TintedMark, '2'},
          {248, 450, TintedMark, '7'},
          {249, 450, TintedMark, 0}}},
    };
    fontTinted = true; // keep the numbered purple sheet
    for (const auto& row : rows) {
        SCOPED_TRACE(row.best);
        SDL_FillRect(screen, nullptr, 0);
        highScore = row.best;
        score = row.score;
        drawScoreLines();
        for (const Probe& p : row.probes) {
            EXPECT_EQ(cellAt(p.x, p.y, p.mark), p.c == 0 ? NoCell : glyphIndex(p.c))
                << p.x << "," << p.y;
        }
    }
}

// The purple sheet is made once, on the first scene, from the plain sheet's alpha.
TEST_F(Hud, TheTintIsMadeOnceInPurpleKeepingThePlainSheetsAlpha) {
    putPixel(fontImage, 3, 4, SDL_MapRGBA(fontImage->format, 9, 9, 9, 128));
    prepareScoreFont();
    Uint8 r = 0, g = 0, b = 0, a = 0;
    SDL_GetRGBA(getPixel(tintedFontImage, 3, 4), tintedFontImage->format, &r, &g, &b, &a);
    EXPECT_TRUE(r == TintRed && g == TintGreen && b == TintBlue && a == 128)
        << int(r) << " " << int(a);
    putPixel(tintedFontImage, 0, 0, 0x01020304u);
    prepareScoreFont();
    EXPECT_EQ(getPixel(tintedFontImage, 0, 0), 0x01020304u);
}

} // namespace
