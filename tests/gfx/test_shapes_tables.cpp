// The hole bound by which the scene skips walls that show nothing: never too generous, and
// close enough to be worth having. (The tables themselves are checked by the scene's
// differential tests, pixel for pixel.)
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gfx/shapes.h"

namespace {

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
