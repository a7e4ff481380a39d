// The best score's file: when it is read and written, what it accepts, and failed writes.
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>

#include "game/high_score.h"
#include "game/world.h"
#include "support/headless.h"
#include "support/play.h"

namespace {

class HighScoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        ASSERT_TRUE(startHeadless(32));
    }
};

TEST_F(HighScoreTest, NoFileGivesZeroAndOnlyAScoringRoundCreatesIt) {
    EXPECT_EQ(highScore, 0);
    resetRound(); // a round of 0 points
    EXPECT_FALSE(std::filesystem::exists("highscore.dat"));
    score = 35;
    resetRound();
    EXPECT_EQ(highScore, 35);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(readWhole("highscore.dat"), "35\n");
    EXPECT_EQ(folderListing(), "highscore.dat ");
}

TEST_F(HighScoreTest, EqualOrLowerScoreReadsTheFileInsteadOfWriting) {
    writeWhole("highscore.dat", "50\n");
    highScore = 30;
    score = 30;
    resetRound();
    EXPECT_EQ(highScore, 50);
    EXPECT_EQ(readWhole("highscore.dat"), "50\n");

    writeWhole("highscore.dat", "  \t\n-7 points"); // edited between rounds
    score = 10;
    resetRound();
    EXPECT_EQ(highScore, -7);
}

TEST_F(HighScoreTest, ReadAcceptsWhiteSpaceAndSignsAndRefusesEverythingElse) {
    struct Case {
        const char* text;
        int expected;
    };
    const int untouched = 1111;
    const Case cases[] = {
        {" 42\n", 42},
        {"+17", 17},
        {"2147483647", INT_MAX},
        {"-2147483648\n", INT_MIN},
        {"12abc", 12},
        {"abc", untouched},
        {"", untouched},
        {"- 5", untouched},
        {"+", untouched},
        {"2147483648", untouched},
        {"-2147483649", untouched},
        {"99999999999999999999999999", untouched},
    };
    for (const Case& c : cases) {
        writeWhole("highscore.dat", c.text);
        int value = untouched;
        EXPECT_EQ(readHighScoreFile("highscore.dat", value), c.expected != untouched) << c.text;
        EXPECT_EQ(value, c.expected) << '"' << c.text << '"';
    }
    std::filesystem::remove("highscore.dat");
    int value = untouched;
    EXPECT_FALSE(readHighScoreFile("highscore.dat", value));
    EXPECT_EQ(value, untouched);
}

TEST_F(HighScoreTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    writeWhole("highscore.dat", "50\n");
    // Root ignores permission bits, but not the file size limit; with SIGXFSZ ignored the
    // write fails with an error instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tiny = saved;
    tiny.rlim_cur = 1;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    highScore = 50;
    score = 1234;
    resetRound();
    const bool direct = writeHighScoreFile("highscore.dat", 98765);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(direct);
    EXPECT_EQ(highScore, 1234); // the run still knows the new best
    EXPECT_EQ(readWhole("highscore.dat"), "50\n");
    EXPECT_EQ(folderListing(), "highscore.dat ");
}

TEST_F(HighScoreTest, WriteReplacesTheFileWhole) {
    writeWhole("highscore.dat", "123456789 and a long tail of old text\n");
    EXPECT_TRUE(writeHighScoreFile("highscore.dat", -3));
    EXPECT_EQ(readWhole("highscore.dat"), "-3\n");
    EXPECT_EQ(folderListing(), "highscore.dat ");
    const auto permissions = std::filesystem::status("highscore.dat").permissions();
    using std::filesystem::perms;
    EXPECT_NE(permissions & perms::owner_read, perms::none);
    EXPECT_NE(permissions & perms::owner_write, perms::none);
}

} // namespace
