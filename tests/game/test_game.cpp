// The game: the best score kept at each round's end, the world update, the culled scene against the
// painter's reference, and the score lines.
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "game/hud.h"
#include "game/random.h"
#include "game/update.h"
#include "gfx/pixels.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "reference_scene.h"
#include "support/headless.h"

namespace fs = std::filesystem;

// A game started headless, then thirty seconds at most: a hang ends the test.
class Game : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(startInScratchFolder(false));
        std::signal(SIGALRM, SIG_DFL), alarm(30); // start-up leaves SIGALRM ignored
    }
};

// Rows: the file before a reset (none when empty), the best the run knows, the round's score,
// the bytes a write may take (-1 no limit); then the best after the reset and the file after.
// Two games that both loaded 10 end their rounds in either order: the other game's record is
// in the file before this one's round ends.
TEST_F(Game, OnlyARoundThatBeatsTheBestWritesItAndAFailedWriteKeepsTheOldFile) {
    umask(022);
    // clang-format off
    const std::tuple<std::string, int, int, int, int, std::string> rows[] = {
        {"", 0, 0, -1, 0, ""}, {"", 0, 35, -1, 35, "35\n"}, {"50\n", 30, 30, -1, 50, "50\n"},
        {"3 and a long tail\n", 0, 5, -1, 5, "5\n"}, {"50\n", 50, 123456, 0, 123456, "50\n"},
        {"50\n", 50, 123456, 3, 123456, "50\n"}, {"", 0, 123456, 3, 123456, ""},
        {"50\n", 10, 30, -1, 50, "50\n"}, {"30\n", 10, 50, -1, 50, "50\n"}};
    // clang-format on
    for (const auto& [before, best, roundScore, limit, bestAfter, after] : rows) {
        SCOPED_TRACE(before + " " + std::to_string(roundScore));
        fs::remove("highscore.dat");
        before.empty() ? void() : writeWhole("highscore.dat", before);
        highScore = best;
        score = roundScore;
        underSizeLimit(limit, [] { return resetRound(), true; });
        EXPECT_EQ(highScore, bestAfter);
        EXPECT_EQ(score, 0);
        EXPECT_EQ(readWhole("highscore.dat"), after);
        EXPECT_TRUE(after.empty() || fs::status("highscore.dat").permissions() == fs::perms(0644));
    }
}

// Rows: seeds, 0 and those past 2^31 among them; the game's draws follow the C library's rand()
// (glibc here) draw for draw, so a seed gives the same tunnel on every build.
TEST(Random, TheDrawsAreGlibcsRandForTheSameSeed) {
    for (const Uint32 seed :
         {0u, 1u, 42u, 127773u, 1765000000u, 0x7fffffffu, 0x80000000u, 0xfffffffeu, 0xffffffffu}) {
        std::srand(seed), seedRandom(seed);
        for (int draw = 0; draw < 1000; ++draw) {
            ASSERT_EQ(drawRandom(), std::rand()) << "seed " << seed << ", draw " << draw;
        }
    }
}

// One world step of ms, with no ring due during it unless asked.
void step(int ms, bool spawn = false) {
    spawnCountdown = spawn ? spawnCountdown : 1000000;
    frameMs = ms;
    updateWorld();
}

Ring* addRing(double radius) {
    return rings[ringCount++] = new Ring{320.0, 240.0, radius, 0};
}

Enemy* addEnemy(Ring* ring, double x, double y, double driftX = 0.0, double driftY = 0.0) {
    return enemies[enemyCount++] = new Enemy{x, y, driftX, driftY, ring};
}

// Rows: pointer active, x, y; an enemy's drift x, y on a ring of radius 100; the step's ms and
// the frame's steps (a slow page's frame has several); then the aim x, y, eased once a step, and
// the enemy's move x, y (radius x drift x ms, the ring grown 0.15 per ms first).
TEST_F(Game, AStepMovesTheAimTowardThePointerAndDriftsEachEnemy) {
    const double rows[][11] = {{1, 640, 240, 1e-4, -2e-4, 10, 1, 0.064, 0, 0.1015, -0.203},
                               {1, 320, 480, -2e-4, 1e-4, 10, 3, 0, 0.12348, -0.203, 0.1015},
                               {0, 0, 0, 0, 1e-4, 20, 4, 0, 0, 0, 0.206}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row[2]);
        resetRound();
        Enemy* enemy = addEnemy(addRing(100.0), 300.0, 200.0, row[3], row[4]);
        pointerActive[0] = row[0] != 0;
        pointerX[0] = static_cast<int>(row[1]), pointerY[0] = static_cast<int>(row[2]);
        frameSteps = static_cast<int>(row[6]);
        step(static_cast<int>(row[5]));
        EXPECT_DOUBLE_EQ(aimX, row[7]);
        EXPECT_DOUBLE_EQ(aimY, row[8]);
        EXPECT_NEAR(enemy->x - 300.0, row[9], 1e-9);
        EXPECT_NEAR(enemy->y - 200.0, row[10], 1e-9);
    }
    frameSteps = 1;
}

// Rows: a frame's ms, then the rings after it (one per 200 ms, the first at once); every other
// one is black.
TEST_F(Game, RingsSpawnEveryTwoHundredMsAlternatingLightAndBlack) {
    for (const auto& row : {std::pair(1, 1), {199, 1}, {1, 2}, {1200, 8}}) {
        step(row.first, true);
        EXPECT_EQ(ringCount, row.second) << row.first;
    }
    for (int r = 0; r < ringCount; ++r) {
        EXPECT_EQ(rings[r]->colour == SDL_MapRGB(screen->format, 0, 0, 0), r % 2 == 1) << r;
    }
}

// Rows: enemies on a ring about to pass, the health before, frames of 16 ms; then the health and
// the bar after. A fifth hit ends the round: that frame shows the empty tunnel in the new colour.
// The rings behind a ring that leaves keep their order, the farthest first, as the scene paints.
TEST_F(Game, PassingEnemiesCostHealthTheBarFollowsAndTheFifthEndsTheRound) {
    const double rows[][5] = {{2, 1, 1, 0.58, 0.9656},
                              {0, 0.79, 1, 0.79, 0.9824},
                              {4, 1, 200, 0.16, 0.16},
                              {5, 1, 80, 1, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row[0]);
        resetRound();
        Ring* passing = addRing(849.95);
        Ring* behind[] = {addRing(10.0), addRing(5.0)};
        addEnemy(behind[0], 300.0, 200.0);
        for (int i = 0; i < row[0]; ++i) {
            addEnemy(passing, 300.0, 200.0);
        }
        health = row[1], score = 7;
        for (int frame = 0; frame < row[2]; ++frame) {
            step(16);
        }
        EXPECT_NEAR(health, row[3], 1e-12);
        EXPECT_NEAR(shownHealth, row[4], 1e-12);
        const bool ended = row[0] == 5;
        EXPECT_EQ(score, ended ? 0 : 7);
        EXPECT_EQ(enemyCount, ended ? 0 : 1);
        EXPECT_TRUE(!ended || (ringCount == 0 && getPixel(screen, 600, 380) == ringColour));
        EXPECT_TRUE(ended ||
                    (rings[ringCount - 2] == behind[0] && rings[ringCount - 1] == behind[1]));
    }
}

// Rows: two enemies side by side in the list, their ring radius, x, y, the aim x (0.85 of it once
// the step moves it), the buttons, the pointer's focus; then whether both are hit: the pointer at
// (320, 240) within 12 + radius / 20.
TEST_F(Game, AClickKillsEveryEnemyStrictlyInsideTheHitRadiusOfAnActivePointer) {
    const int P = KeyPressed, H = KeyHeld, U = KeyUp;
    // clang-format off
    const double rows[][8] = {
        {100, 303, 240, 0, P, U, 1, 0}, {100, 303.001, 240, 0, P, U, 1, 1},
        {100, 320, 240, 0, U, P, 1, 1}, {100, 320, 240, 0, H, U, 1, 0},
        {100, 320, 240, 0, P, U, 0, 0}, {200, 357, 240, 0.1, P, P, 1, 1},
        {200, 300, 240, 0.1, P, U, 1, 0}};
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row[1]);
        resetRound();
        Ring* ring = addRing(row[0]);
        addEnemy(ring, row[1], row[2]), addEnemy(ring, row[1], row[2]);
        aimX = row[3];
        mouseButtonState[1] = static_cast<int>(row[4]);
        mouseButtonState[3] = static_cast<int>(row[5]);
        pointerActive[0] = row[6] != 0;
        pointerX[0] = 320, pointerY[0] = 240;
        step(0);
        EXPECT_EQ(score, 10 * static_cast<int>(row[7]));
        EXPECT_EQ(enemyCount, 2 - 2 * static_cast<int>(row[7]));
    }
}

// Up to 60 rings on and off the screen, radii up to 1300 (tunnel order or any, some tiny), any
// aim, enemies on random rings around their centres.
void makeRandomWorld(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto colour = [&] {
        return random() % 4 == 0 ? 0 : SDL_MapRGB(screen->format, random(), random(), random());
    };
    resetRound();
    const int count = static_cast<int>(random() % 61);
    const bool tunnelLike = random() % 2 == 0;
    for (int i = 0; i < count; ++i) {
        double radius = tunnelLike ? 1300.0 * (count - i) / (count + 1) + unit(random) * 20.0
                                   : unit(random) * 1300.0;
        radius = random() % 10 == 0 ? unit(random) * 4.0 : radius;
        *addRing(radius) = {-200.0 + unit(random) * 1040.0, -200.0 + unit(random) * 880.0, radius,
                            colour()};
    }
    aimX = unit(random) - 0.5;
    aimY = unit(random) - 0.5;
    for (int i = 0, n = count == 0 ? 0 : static_cast<int>(random() % 40); i < n; ++i) {
        Ring* ring = rings[random() % static_cast<unsigned>(count)];
        const double spread = ring->radius * 0.6 + 50.0;
        addEnemy(ring, ring->x + (unit(random) - 0.5) * spread,
                 ring->y + (unit(random) - 0.5) * spread);
    }
    nextRingBlack = random() % 2 == 0;
    ringColour = colour();
    shownHealth = unit(random);
}

class CulledScene : public ::testing::TestWithParam<int> {};

// Random worlds drawn by both scenes over different leftovers: every byte and fillColour agree.
// The score changes every third world, the best less often (the longest numbers last); from the
// 31st world the display has another depth under the same font sheets. Drawn again, a frame takes
// its score lines from their pictures alone.
TEST_P(CulledScene, MatchesThePaintersSceneByteForByte) {
    ASSERT_TRUE(startInScratchFolder(true, GetParam()));
    for (unsigned seed = 1; seed <= 60; ++seed) {
        ASSERT_TRUE(seed != 31 || openDisplay(GetParam() % 32 + 8));
        makeRandomWorld(seed * 7919u + static_cast<unsigned>(GetParam()));
        score = seed < 55 ? 5 * static_cast<int>(seed / 3) : INT_MIN;
        highScore = seed < 20 ? 120 : seed < 55 ? 98765 : INT_MAX;
        std::vector<Uint8> frames[3];
        Uint32 colours[3];
        for (int culled = 0; culled < 3; ++culled) {
            fillColour = 7;
            SDL_FillRect(screen, nullptr, culled != 0 ? 0x5A5A5A : 0xA5A5A5);
            culled != 0 ? drawScene() : drawReferenceScene();
            frames[culled] = bytesOf();
            colours[culled] = fillColour;
        }
        ASSERT_TRUE(frames[0] == frames[1] && frames[1] == frames[2]) << "seed " << seed;
        ASSERT_EQ(colours[0], colours[1]) << seed;
        ASSERT_EQ(scoreLinePictures[0].picture.redrawnRows, 0) << seed;
        ASSERT_EQ(scoreLinePictures[1].picture.redrawnRows, 0) << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, CulledScene, ::testing::Values(8, 16, 24, 32));

// Probes of the score lines for the best 120, the score 35: x, y, sheet, character (0 none).
TEST_F(Game, TheScoreLinesPlaceEveryCharacter) {
    useNumberedSheets();
    fontTinted = true; // keep the numbered purple sheet
    highScore = 120;
    score = 35;
    drawScoreLines();
    const Uint8 T = TintedMark, P = PlainMark;
    // clang-format off
    const std::tuple<int, int, Uint8, char> probes[] = {
        {134, 422, T, ' '}, {135, 422, T, '1'}, {157, 422, T, '0'}, {25, 432, T, 'H'},
        {135, 445, T, '3'}, {146, 455, T, '5'}, {23, 445, P, 'S'}, {22, 445, P, 0},
        {27, 445, T, 'S'}, {30, 457, P, 'S'}, {30, 458, P, 0}, {30, 418, P, 'H'}};
    // clang-format on
    for (const auto& [x, y, sheet, c] : probes) {
        EXPECT_EQ(cellAt(x, y, sheet), c == 0 ? NoCell : c - ' ') << x << "," << y;
    }
}
