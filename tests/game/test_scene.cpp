// The tunnel scene: the culled scene against the painter's reference byte for byte at every
// depth (random worlds, clipped, edge worlds, a surface that must be locked, real play; the
// health bar with them), then the score lines and their tint read back from the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <random>
#include <sstream>
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
    SDL_Surface* display = screen;
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
    SDL_FreeSurface(screen);
    screen = display;
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

// Rows: the best and the round's score, then probes "x,y,sheet,character" (sheet p plain or t
// purple; character _ for none, # for a space): the digits start in column 135, the dark outline
// reaches two pixels out, the score line lies on top, and the widest numbers fit.
TEST_F(Hud, TheScoreLinesPlaceEveryCharacter) {
    const struct {
        int best, score;
        const char* probes;
    } rows[] = {{120, 35,
                 "134,422,t,# 135,422,t,1 146,432,t,2 157,422,t,0 25,432,t,H 135,445,t,3 "
                 "146,455,t,5 25,445,t,S"},
                {7, 9,
                 "23,445,p,S 22,445,p,_ 149,445,t,9 151,445,p,9 152,445,p,_ 30,457,p,S "
                 "30,458,p,_ 30,433,p,S 30,432,t,H 30,418,p,H 30,417,p,_"},
                {INT_MIN, INT_MAX,
                 "135,425,t,- 245,425,t,8 259,425,t,8 135,450,t,2 248,450,t,7 "
                 "249,450,t,_"}};
    fontTinted = true; // keep the numbered purple sheet
    for (const auto& row : rows) {
        SDL_FillRect(screen, nullptr, 0);
        highScore = row.best;
        score = row.score;
        drawScoreLines();
        std::istringstream probes(row.probes);
        int x = 0, y = 0;
        char sheet = 0, c = 0, comma = 0;
        int checked = 0;
        for (; probes >> x >> comma >> y >> comma >> sheet >> comma >> c; ++checked) {
            const int expected = c == '_' ? NoCell : glyphIndex(c == '#' ? ' ' : c);
            EXPECT_EQ(cellAt(x, y, sheet == 't' ? TintedMark : PlainMark), expected)
                << row.best << ": " << x << "," << y << " " << c;
        }
        EXPECT_EQ(checked, std::count(row.probes, row.probes + std::strlen(row.probes), ' ') + 1);
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
