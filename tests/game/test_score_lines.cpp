// The score lines: where the digits land, the outline around the purple text, the one-time tint.
#include <gtest/gtest.h>

#include <SDL.h>

#include <climits>

#include "game/hud.h"
#include "game/world.h"
#include "gfx/pixels.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "support/headless.h"
#include "support/numbered_font.h"

namespace {

class ScoreLinesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        ASSERT_TRUE(startHeadless(32));
        useNumberedSheets();
        SDL_FillRect(screen, nullptr, 0);
    }
};

int cellOf(char character) {
    return glyphIndex(static_cast<unsigned char>(character));
}

} // namespace

TEST_F(ScoreLinesTest, DigitsOfBothLinesStartInColumn135) {
    highScore = 120;
    score = 35;
    drawScoreLines();
    // Rows 422..432 belong to the high score line alone; rows 445..455 to the score line.
    for (int y : {422, 432}) {
        EXPECT_EQ(cellAt(134, y, TintedMark), cellOf(' '));
        EXPECT_EQ(cellAt(135, y, TintedMark), cellOf('1'));
        EXPECT_EQ(cellAt(146, y, TintedMark), cellOf('2'));
        EXPECT_EQ(cellAt(157, y, TintedMark), cellOf('0'));
        EXPECT_EQ(cellAt(25, y, TintedMark), cellOf('H'));
    }
    for (int y : {445, 455}) {
        EXPECT_EQ(cellAt(134, y, TintedMark), cellOf(' '));
        EXPECT_EQ(cellAt(135, y, TintedMark), cellOf('3'));
        EXPECT_EQ(cellAt(146, y, TintedMark), cellOf('5'));
        EXPECT_EQ(cellAt(25, y, TintedMark), cellOf('S'));
    }
}

TEST_F(ScoreLinesTest, PlainCopiesOutlineThePurpleTextAndTheScoreLineLiesOnTop) {
    highScore = 7;
    score = 9;
    drawScoreLines();
    // The score line "Score     9": purple at 25..149 of rows 435..455, plain copies up to two
    // pixels beyond it on each axis.
    EXPECT_EQ(cellAt(23, 445), cellOf('S'));
    EXPECT_EQ(cellAt(24, 445), cellOf('S'));
    EXPECT_EQ(cellAt(22, 445), NoCell);
    EXPECT_EQ(cellAt(25, 445, TintedMark), cellOf('S'));
    EXPECT_EQ(cellAt(149, 445, TintedMark), cellOf('9'));
    EXPECT_EQ(cellAt(150, 445), cellOf('9'));
    EXPECT_EQ(cellAt(151, 445), cellOf('9'));
    EXPECT_EQ(cellAt(152, 445), NoCell);
    EXPECT_EQ(cellAt(30, 457), cellOf('S')); // (25, y + 2) reaches row 457
    EXPECT_EQ(cellAt(30, 458), NoCell);
    // Row 433 was the high score's purple 'H' until the score line's outline covered it.
    EXPECT_EQ(cellAt(30, 433), cellOf('S'));
    EXPECT_EQ(cellAt(30, 432, TintedMark), cellOf('H'));
    EXPECT_EQ(cellAt(30, 418), cellOf('H')); // the high score line's outline above it
    EXPECT_EQ(cellAt(30, 417), NoCell);
}

TEST_F(ScoreLinesTest, TheWidestNumbersFitTheLine) {
    highScore = INT_MIN; // "HighScore -2147483648": 21 characters
    score = INT_MAX;     // "Score     2147483647": 20 characters
    drawScoreLines();
    EXPECT_EQ(cellAt(135, 425, TintedMark), cellOf('-'));
    EXPECT_EQ(cellAt(25 + 20 * 11, 425, TintedMark), cellOf('8'));
    EXPECT_EQ(cellAt(25 + 20 * 11 + 14, 425, TintedMark), cellOf('8'));
    EXPECT_EQ(cellAt(135, 450, TintedMark), cellOf('2'));
    EXPECT_EQ(cellAt(25 + 19 * 11 + 14, 450, TintedMark), cellOf('7'));
    EXPECT_EQ(cellAt(25 + 19 * 11 + 15, 450, TintedMark), NoCell);
}

TEST_F(ScoreLinesTest, TheTintIsMadeOnceInPurpleWithThePlainSheetsAlpha) {
    EXPECT_FALSE(fontTinted);
    putPixel(fontImage, 3, 4, SDL_MapRGBA(fontImage->format, 9, 9, 9, 128));
    putPixel(fontImage, 4, 4, SDL_MapRGBA(fontImage->format, 9, 9, 9, 0));
    prepareScoreFont();
    EXPECT_TRUE(fontTinted);
    Uint8 r = 0, g = 0, b = 0, a = 0;
    SDL_GetRGBA(getPixel(tintedFontImage, 1000, 20), tintedFontImage->format, &r, &g, &b, &a);
    EXPECT_EQ(r, 150);
    EXPECT_EQ(g, 100);
    EXPECT_EQ(b, 200);
    EXPECT_EQ(a, 255);
    SDL_GetRGBA(getPixel(tintedFontImage, 3, 4), tintedFontImage->format, &r, &g, &b, &a);
    EXPECT_EQ(a, 128);
    SDL_GetRGBA(getPixel(tintedFontImage, 4, 4), tintedFontImage->format, &r, &g, &b, &a);
    EXPECT_EQ(a, 0);
    // Later scenes leave the purple sheet alone.
    putPixel(tintedFontImage, 0, 0, 0x01020304u);
    prepareScoreFont();
    EXPECT_EQ(getPixel(tintedFontImage, 0, 0), 0x01020304u);
}

TEST_F(ScoreLinesTest, MissingFontSheetsLeaveTheScreenAlone) {
    SDL_FreeSurface(tintedFontImage);
    tintedFontImage = nullptr;
    prepareScoreFont();
    EXPECT_TRUE(fontTinted);
    SDL_FreeSurface(fontImage);
    fontImage = nullptr;
    drawScoreLines();
    for (int y = 410; y < 465; ++y) {
        for (int x = 0; x < 300; ++x) {
            ASSERT_EQ(getPixel(screen, x, y), 0u) << x << "," << y;
        }
    }
}
