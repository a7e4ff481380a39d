// Text placement: which glyph cell lands where, for every alignment, on the real display surface.
#include <gtest/gtest.h>

#include <SDL.h>

#include "gfx/text.h"
#include "platform/display.h"
#include "support/headless.h"
#include "support/numbered_font.h"

namespace {

class TextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        ASSERT_TRUE(startHeadless(32));
        ASSERT_EQ(screen->format->BytesPerPixel, 4);
        // The loader found no files but filled the cell tables; the test sheets stand in.
        useNumberedSheets();
        clearScreen();
    }

    static void clearScreen() {
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    }

    // Expects the cells of text, one per 11-pixel step from left, the last cell whole.
    static void expectRun(int left, int y, const int* cells, int count, Uint8 mark = PlainMark) {
        EXPECT_EQ(cellAt(left - 1, y, mark), NoCell) << "before " << left;
        for (int i = 0; i < count; ++i) {
            const int width = i + 1 < count ? glyphAdvance : GlyphWidth;
            for (int dx = 0; dx < width; ++dx) {
                ASSERT_EQ(cellAt(left + i * glyphAdvance + dx, y, mark), cells[i])
                    << "glyph " << i << " column " << dx;
            }
        }
        EXPECT_EQ(cellAt(left + (count - 1) * glyphAdvance + GlyphWidth, y, mark), NoCell);
    }
};

} // namespace

TEST_F(TextTest, LeftAlignedTextAdvancesElevenPixelsAndFillsTheCellHeight) {
    drawText(100, 50, "AB", AlignLeft);
    const int cells[] = {33, 34};
    expectRun(100, 50, cells, 2);
    expectRun(100, 50 + GlyphHeight - 1, cells, 2);
    EXPECT_EQ(cellAt(100, 49), NoCell);
    EXPECT_EQ(cellAt(100, 50 + GlyphHeight), NoCell);
}

TEST_F(TextTest, CentredAndRightAlignedTextStartWhereTheAlignmentSays) {
    const int abc[] = {33, 34, 35};
    drawText(100, 10, "ABC", AlignCentre); // 33 / 2 = 16
    expectRun(84, 10, abc, 3);
    drawText(100, 40, "AB", AlignCentre); // 22 / 2 = 11
    expectRun(89, 40, abc, 2);
    // The last advance ends at x; the last cell reaches 4 pixels past it.
    drawText(100, 70, "ABC", AlignRight);
    expectRun(67, 70, abc, 3);
    EXPECT_EQ(cellAt(103, 70), 35);
    EXPECT_EQ(cellAt(104, 70), NoCell);
}

TEST_F(TextTest, UnknownAlignmentsStartAtTheLeftEdge) {
    const int ab[] = {33, 34};
    drawText(300, 10, "AB", 0);
    drawText(300, 40, "AB", 4);
    drawText(300, 70, "AB", -1);
    for (int y : {10, 40, 70}) {
        expectRun(0, y, ab, 2);
        EXPECT_EQ(cellAt(300, y), NoCell);
    }
}

TEST_F(TextTest, BytesOutsideThePrintableRangeDrawAsSpacesAndStillAdvance) {
    const int cells[] = {33, 0, 0, 0, 0, 94};
    drawText(200, 100, "A\t\xC8\x7F\x1F~", AlignLeft);
    expectRun(200, 100, cells, 6);
    EXPECT_EQ(glyphIndex('~'), 94);
    EXPECT_EQ(glyphIndex(' '), 0);
    EXPECT_EQ(glyphIndex('0'), 16);
    EXPECT_EQ(glyphIndex('a'), 65);
    EXPECT_EQ(glyphIndex(255), 0);
}

TEST_F(TextTest, TintedTextAlwaysStartsAtTwentyFiveFromTheTintedSheet) {
    drawTintedText(300, "AB");
    const int ab[] = {33, 34};
    expectRun(25, 300, ab, 2, TintedMark);
    EXPECT_EQ(cellAt(25, 300, PlainMark), NoCell);
}

TEST_F(TextTest, PositionsKeepTheirLowSixteenBits) {
    const int ab[] = {33, 34};
    drawText(65536 + 100, 10, "AB", AlignLeft);
    expectRun(100, 10, ab, 2);
    // Right-aligned near the left edge: a negative pen is clipped, not wrapped. "ABC" starts
    // at -28, so only the last 9 columns of 'C' show.
    clearScreen();
    drawText(5, 40, "ABC", AlignRight);
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(cellAt(x, 45), 35) << x;
    }
    for (int x = 9; x < 640; ++x) {
        ASSERT_EQ(cellAt(x, 45), NoCell) << x;
    }
}

TEST_F(TextTest, MissingOrShortSheetsDrawNoCellOutsideThemselves) {
    SDL_FreeSurface(fontImage);
    fontImage = nullptr;
    drawText(100, 10, "AB~", AlignLeft);
    drawText(100, 10, "", AlignLeft);
    for (int x = 0; x < 640; ++x) {
        ASSERT_EQ(cellAt(x, 15), NoCell) << x;
    }
    SDL_FreeSurface(tintedFontImage);
    tintedFontImage = nullptr;
    drawTintedText(10, "AB");
    EXPECT_EQ(cellAt(25, 15, TintedMark), NoCell);

    // A sheet only two cells wide: '~' lies past its edge, so the blit clips it to nothing and
    // the columns after '!' stay empty; the following space still lands 11 pixels further.
    fontImage = makeNumberedSheet(PlainMark, 2 * GlyphWidth);
    drawText(100, 50, "!~ ", AlignLeft);
    for (int x = 100; x < 115; ++x) {
        EXPECT_EQ(cellAt(x, 50), 1) << x;
    }
    for (int x = 115; x < 122; ++x) {
        EXPECT_EQ(cellAt(x, 50), NoCell) << x;
    }
    EXPECT_EQ(cellAt(122, 50), 0);
}
