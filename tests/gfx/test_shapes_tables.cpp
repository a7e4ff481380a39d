// The shapes' row tables against the shapes themselves, and the hole bound the scene skips by.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/display.h"
#include "gfx/pixels.h"
#include "gfx/shapes.h"
#include "support/headless.h"

namespace {

// Paints the shape over a cleared screen and reads, per row, the unpainted run about cx (hole)
// or the painted one (disc) as a half-width; -1 when the row's pixels do not form such a run.
int halfWidthOnRow(int y, int cx, bool painted, Uint32 paint) {
    int left = cx;
    while (left > 0 && (getPixel(screen, left - 1, y) == paint) == painted) {
        --left;
    }
    int right = cx;
    while (right < ScreenWidth && (getPixel(screen, right, y) == paint) == painted) {
        ++right;
    }
    if (left == right) {
        return 0;
    }
    return cx - left == right - cx ? cx - left : -1;
}

TEST(ShapeTablesTest, TablesDescribeExactlyWhatTheShapesPaint) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    const Uint32 paint = SDL_MapRGB(screen->format, 255, 255, 255);
    const int cx = 320;
    const int cy = 240;
    std::vector<int> table(ScreenHeight);
    for (int r = 0; r <= 239; r += (r < 40 ? 1 : 7)) {
        SDL_FillRect(screen, nullptr, 0);
        fillColour = paint;
        fillOutsideDisc(r, cx, cy);
        holeHalfWidths(r, 239, table.data());
        for (int dy = 0; dy <= 239; ++dy) {
            ASSERT_EQ(halfWidthOnRow(cy - dy, cx, false, paint), table[dy]) << r << " " << dy;
            ASSERT_EQ(halfWidthOnRow(cy + dy, cx, false, paint), table[dy]) << r << " " << dy;
        }
        SDL_FillRect(screen, nullptr, 0);
        fillDisc(r, cx, cy);
        discHalfWidths(r, table.data());
        for (int dy = 0; dy <= r; ++dy) {
            ASSERT_EQ(halfWidthOnRow(cy - dy, cx, true, paint), table[dy]) << r << " " << dy;
            ASSERT_EQ(halfWidthOnRow(cy + dy, cx, true, paint), table[dy]) << r << " " << dy;
        }
    }
}

TEST(ShapeTablesTest, HoleBoundNeverClaimsMoreThanTheHoleAndLosesAtMostTwoColumns) {
    std::vector<int> table(HoleBoundRadius + 1);
    for (int r = 1; r <= HoleBoundRadius; ++r) {
        holeHalfWidths(r, r, table.data());
        int narrowest = table[0];
        for (int dyMax = 0; dyMax < r; ++dyMax) {
            narrowest = std::min(narrowest, table[dyMax]);
            ASSERT_FALSE(holeHolds(r, narrowest + 1, dyMax)) << r << " " << dyMax;
            if (narrowest >= 2) {
                ASSERT_TRUE(holeHolds(r, narrowest - 2, dyMax)) << r << " " << dyMax;
            }
        }
        ASSERT_FALSE(holeHolds(r, 0, r)); // the hole's top row is painted whole
    }
    EXPECT_FALSE(holeHolds(HoleBoundRadius + 1, 1, 0));
}

} // namespace
