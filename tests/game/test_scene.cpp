// The tunnel scene: far end, painter's order of walls and enemies, and the health bar.
#include <gtest/gtest.h>

#include "game/scene.h"
#include "game/world.h"
#include "gfx/pixels.h"
#include "platform/display.h"
#include "support/headless.h"

namespace {

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        ASSERT_TRUE(startHeadless(32));
        black = SDL_MapRGB(screen->format, 0, 0, 0);
        tint = SDL_MapRGB(screen->format, TintRed, TintGreen, TintBlue);
    }

    static Ring* addRing(double x, double y, double radius, Uint32 colour) {
        auto* ring = new Ring{x, y, radius, colour};
        rings[ringCount++] = ring;
        return ring;
    }

    static void addEnemy(Ring* ring, double x, double y) {
        enemies[enemyCount++] = new Enemy{x, y, 0.0, 0.0, ring};
    }

    static Uint32 at(int x, int y) { return getPixel(screen, x, y); }

    Uint32 black = 0;
    Uint32 tint = 0;
};

TEST_F(SceneTest, FarEndFollowsTheNextRingsColour) {
    ringColour = SDL_MapRGB(screen->format, 200, 180, 190);
    nextRingBlack = false;
    drawScene();
    EXPECT_EQ(at(0, 0), ringColour);
    EXPECT_EQ(at(639, 400), ringColour);
    nextRingBlack = true;
    drawScene();
    EXPECT_EQ(at(0, 0), 0u);
    EXPECT_EQ(at(639, 400), 0u);
}

TEST_F(SceneTest, NewestRingOfRadiusOneLeavesTwoPixelsOfFarEnd) {
    const Uint32 wall = SDL_MapRGB(screen->format, 180, 200, 220);
    ringColour = SDL_MapRGB(screen->format, 250, 250, 175);
    addRing(100.0, 100.0, 1.0, wall);
    drawScene();
    EXPECT_EQ(at(99, 100), ringColour);
    EXPECT_EQ(at(100, 100), ringColour);
    EXPECT_EQ(at(98, 100), wall);
    EXPECT_EQ(at(101, 100), wall);
    EXPECT_EQ(at(100, 99), wall);
    EXPECT_EQ(at(100, 101), wall);
}

TEST_F(SceneTest, NearerWallsAndEnemiesCoverFartherOnes) {
    const Uint32 nearWall = SDL_MapRGB(screen->format, 200, 0, 0);
    const Uint32 farWall = SDL_MapRGB(screen->format, 0, 200, 0);
    aimX = 0.1;
    aimY = -0.05;
    // Oldest (nearest) first: hole about (320 - 20, 240 + 10) of radius 200.
    Ring* nearRing = addRing(320.0, 240.0, 200.0, nearWall);
    // A farther ring, hole about (300 - 10, 250 + 5) of radius 100.
    Ring* farRing = addRing(300.0, 250.0, 100.0, farWall);
    addEnemy(farRing, 70.0, 250.0);   // seen at (60, 255), outside the near hole: hidden
    addEnemy(farRing, 310.0, 255.0);  // inside both holes: seen at (300, 260), purple r 5
    addEnemy(nearRing, 330.0, 270.0); // nearer ring's enemy drawn over the far one
    drawScene();
    EXPECT_EQ(at(60, 255), nearWall);
    EXPECT_EQ(at(300, 260), tint);
    EXPECT_EQ(at(306, 260), black); // the 3-pixel rim: radius 8 around, 5 inside
    EXPECT_EQ(at(310, 280), tint);  // near enemy at (310, 280), purple r 10
    EXPECT_EQ(at(318, 280), tint);
    EXPECT_EQ(at(310, 291), black);
    EXPECT_EQ(at(290 + 50, 255), ringColour); // far end through the far hole at (290, 255)
    EXPECT_EQ(at(290 + 150, 255), farWall);   // outside the far hole, inside the near one
    EXPECT_EQ(at(20, 20), nearWall);
}

TEST_F(SceneTest, HealthBarWidthFollowsShownHealthInsideItsFrame) {
    const struct {
        double shown;
        int width;
    } cases[] = {{0.5, 300}, {0.999, 599}, {1.0, 600}, {0.0, 0}};
    for (const auto& c : cases) {
        shownHealth = c.shown;
        drawScene();
        EXPECT_EQ(at(18, 423), black);
        EXPECT_EQ(at(621, 451), black);
        EXPECT_EQ(at(19, 437), black);
        EXPECT_EQ(at(620, 437), black);
        EXPECT_NE(at(17, 437), black);
        EXPECT_NE(at(622, 437), black);
        EXPECT_NE(at(300, 452), black);
        if (c.width > 0) {
            EXPECT_EQ(at(20, 425), tint) << c.shown;
            EXPECT_EQ(at(20 + c.width - 1, 449), tint) << c.shown;
        }
        EXPECT_EQ(at(20 + c.width, 437), black) << c.shown;
    }
}

} // namespace
