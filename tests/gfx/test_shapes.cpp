// The disc and hole primitives, read back from real display surfaces at 16 and 32 bpp.
#include <gtest/gtest.h>

#include <string>

#include "gfx/pixels.h"
#include "gfx/shapes.h"
#include "platform/display.h"
#include "support/headless.h"

namespace {

class ShapesTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        ASSERT_TRUE(startHeadless(GetParam()));
        ASSERT_EQ(screen->format->BitsPerPixel, GetParam());
        background = SDL_MapRGB(screen->format, 10, 20, 30);
        paint = SDL_MapRGB(screen->format, 250, 240, 230);
        SDL_FillRect(screen, nullptr, background);
        fillColour = paint;
    }

    // The painted columns of one row as "[from,to)" runs, left to right.
    std::string runs(int y) const {
        std::string text;
        int x = 0;
        while (x < ScreenWidth) {
            if (getPixel(screen, x, y) != paint) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < ScreenWidth && getPixel(screen, x, y) == paint) {
                ++x;
            }
            text += "[" + std::to_string(from) + "," + std::to_string(x) + ")";
        }
        return text;
    }

    // Every row outside from..to (inclusive) is untouched.
    void expectOnlyRows(int from, int to) const {
        for (int y = 0; y < ScreenHeight; ++y) {
            if (y < from || y > to) {
                EXPECT_EQ(runs(y), "") << "row " << y;
            }
        }
    }

    void expectWholeRows(int from, int to) const {
        for (int y = from; y <= to; ++y) {
            EXPECT_EQ(runs(y), "[0,640)") << "row " << y;
        }
    }

    Uint32 background = 0;
    Uint32 paint = 0;
};

TEST_P(ShapesTest, SmallDiscsFillTheirExactSpans) {
    fillDisc(1, 100, 100);
    EXPECT_EQ(runs(100), "[99,101)");
    expectOnlyRows(100, 100);

    SDL_FillRect(screen, nullptr, background);
    fillDisc(2, 100, 100);
    EXPECT_EQ(runs(98), "[99,101)");
    EXPECT_EQ(runs(99), "[98,102)");
    EXPECT_EQ(runs(100), "[98,102)");
    EXPECT_EQ(runs(101), "[98,102)");
    EXPECT_EQ(runs(102), "[99,101)");
    expectOnlyRows(98, 102);
}

TEST_P(ShapesTest, DiscRowWrittenThriceShowsItsWidestSpan) {
    fillDisc(10, 100, 100);
    EXPECT_EQ(runs(90), "[97,103)");
    EXPECT_EQ(runs(110), "[97,103)");
    EXPECT_EQ(runs(100), "[90,110)");
    expectOnlyRows(90, 110);
}

TEST_P(ShapesTest, ZeroAndNegativeRadiusDiscsDrawNothing) {
    fillDisc(0, 100, 100);
    fillDisc(-3, 100, 100);
    expectOnlyRows(ScreenHeight, ScreenHeight);
}

TEST_P(ShapesTest, HoleLacksTopAndBottomRowsAndNarrowsOnRepeatedRows) {
    fillOutsideDisc(10, 100, 100);
    expectWholeRows(0, 90);
    EXPECT_EQ(runs(91), "[0,96)[104,640)");
    EXPECT_EQ(runs(109), "[0,96)[104,640)");
    for (int y = 97; y <= 103; ++y) {
        EXPECT_EQ(runs(y), "[0,90)[110,640)") << "row " << y;
    }
    expectWholeRows(110, 479);
}

TEST_P(ShapesTest, ZeroRadiusHolePaintsTheWholeScreen) {
    fillOutsideDisc(0, 320, 240);
    expectWholeRows(0, 479);
}

TEST_P(ShapesTest, NegativeRadiusHoleDrawsOnlyItsOverlappingBands) {
    fillOutsideDisc(-5, 320, 240);
    expectWholeRows(0, 479);
    // Bands alone: a centre far below the screen leaves only the top band.
    SDL_FillRect(screen, nullptr, background);
    fillOutsideDisc(-5, 320, 1000);
    expectWholeRows(0, 479);
    SDL_FillRect(screen, nullptr, background);
    fillOutsideDisc(-5, 320, -1000);
    expectWholeRows(0, 479);
}

TEST_P(ShapesTest, DiscsClipAtTheScreenEdges) {
    fillDisc(20, 5, 200);
    EXPECT_EQ(runs(200), "[0,25)");

    SDL_FillRect(screen, nullptr, background);
    fillDisc(2, 300, 0);
    EXPECT_EQ(runs(0), "[298,302)");
    EXPECT_EQ(runs(1), "[298,302)");
    EXPECT_EQ(runs(2), "[299,301)");
    expectOnlyRows(0, 2);

    SDL_FillRect(screen, nullptr, background);
    fillDisc(2, 638, 479);
    EXPECT_EQ(runs(479), "[636,640)");
    EXPECT_EQ(runs(477), "[637,639)");
    expectOnlyRows(477, 479);
}

TEST_P(ShapesTest, SpansWhollyOffEitherSide) {
    fillRowSpans(-10, 200, 10, 0); // right end at column 0
    fillRowSpans(650, 200, 10, 0); // left end at column 640
    EXPECT_EQ(runs(200), "");
    fillRowSpans(-9, 200, 10, 0);
    fillRowSpans(649, 200, 10, 0);
    EXPECT_EQ(runs(200), "[0,1)[639,640)");

    SDL_FillRect(screen, nullptr, background);
    fillRowOutside(-50, 200, 10, 5); // a hole wholly left: both rows painted whole
    EXPECT_EQ(runs(195), "[0,640)");
    EXPECT_EQ(runs(205), "[0,640)");
    fillColour = SDL_MapRGB(screen->format, 1, 2, 3);
    fillRowOutside(700, 200, 10, 5); // wholly right: the left piece covers the row
    fillColour = paint;
    EXPECT_EQ(runs(195), "");
    EXPECT_EQ(runs(205), "");
    expectOnlyRows(ScreenHeight, ScreenHeight);
}

INSTANTIATE_TEST_SUITE_P(Depths, ShapesTest, ::testing::Values(16, 32));

} // namespace
