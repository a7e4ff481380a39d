// The best score's file: what a read accepts, when a round reset reads or writes it, and writes
// that fail part-way (a file size limit) never costing the old best nor leaving a partial file.
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

#include "game/high_score.h"
#include "game/world.h"
#include "support/headless.h"
#include "support/play.h"

namespace {

namespace fs = std::filesystem;
constexpr int Untouched = 1111;

TEST(HighScoreFile, ReadTakesTheLeadingNumberAndRefusesEverythingElse) {
    enterScratchFolder(false);
    const std::pair<std::string, int> rows[] = {
        {" 42\n", 42},
        {"+17", 17},
        {"  \t\n-7 points", -7},
        {"12abc", 12},
        {"2147483647", INT_MAX},
        {"-2147483648\n", INT_MIN},
        {std::string("4\0"
                     "2\n",
                     4),
         4},
        {std::string(10u << 20, '0') + "7", 7},
        {"abc", Untouched},
        {"", Untouched},
        {" \t\n\r\v\f  \n", Untouched},
        {"- 5", Untouched},
        {"+", Untouched},
        {"2147483648", Untouched},
        {"-2147483649", Untouched},
        {std::string(10u << 20, '9'), Untouched},
        {std::string("\0\0\0\0", 4), Untouched},
        {"\x89PNG\r\n\x1a\n\xff\xfe", Untouched},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(text.substr(0, 20));
        writeWhole("highscore.dat", text);
        int value = Untouched;
        EXPECT_EQ(readHighScoreFile("highscore.dat", value), expected != Untouched);
        EXPECT_EQ(value, expected);
    }
    fs::remove("highscore.dat");
    fs::create_symlink("nowhere/highscore.dat", "dangling");
    fs::create_directory("folder");
    for (const char* path : {"highscore.dat", "dangling", "folder"}) {
        int value = Untouched;
        EXPECT_FALSE(readHighScoreFile(path, value)) << path;
        EXPECT_EQ(value, Untouched) << path;
    }
}

// Rows: the file before a reset (none when empty), the best the run knows, the round's score;
// then the best after the reset and the file after it. Cut at some byte: a write limited there.
TEST(HighScoreFile, OnlyARoundThatBeatsTheBestWritesItAndAFailedWriteKeepsTheOldFile) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails instead of killing us
    const mode_t mask = umask(022);
    const struct {
        const char* before;
        int best, score, cutAt, bestAfter;
        const char* after;
    } rows[] = {
        {"", 0, 0, -1, 0, ""},
        {"", 0, 35, -1, 35, "35\n"},
        {"50\n", 30, 30, -1, 50, "50\n"},
        {"  \t\n-7 points", 30, 10, -1, -7, "  \t\n-7 points"},
        {"123456789 and a long tail of old text\n", 0, 5, -1, 5, "5\n"},
        {"", -10, -3, -1, -3, "-3\n"},
        {"50\n", 50, 123456, 0, 123456, "50\n"},
        {"50\n", 50, 123456, 1, 123456, "50\n"},
        {"50\n", 50, 123456, 3, 123456, "50\n"},
        {"50\n", 50, 123456, 6, 123456, "50\n"},
        {"", 0, 123456, 3, 123456, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.before) + " " + std::to_string(row.score) + " cut " +
                     std::to_string(row.cutAt));
        fs::remove("highscore.dat");
        if (*row.before != '\0') {
            writeWhole("highscore.dat", row.before);
        }
        highScore = row.best;
        score = row.score;
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit cut = saved;
        cut.rlim_cur = row.cutAt < 0 ? saved.rlim_max : static_cast<rlim_t>(row.cutAt);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &cut), 0); // the soft limit only
        resetRound();
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(highScore, row.bestAfter);
        EXPECT_EQ(score, 0);
        EXPECT_EQ(readWhole("highscore.dat"), row.after);
        EXPECT_EQ(folderListing(), *row.after != '\0' ? "highscore.dat " : "");
        if (*row.before == '\0' && *row.after != '\0') {
            EXPECT_EQ(fs::status("highscore.dat").permissions(), fs::perms(0644));
        }
    }
    umask(mask);
}

// The whole path: start-up reads the best; a round played to its end that beats it writes it; a
// directory in the way of the file costs the file, not the run's best.
TEST(HighScoreFile, StartUpReadsTheBestAndPlayedRoundsSettleIt) {
    enterScratchFolder(true);
    writeWhole("highscore.dat", " 42\n");
    ASSERT_TRUE(startHeadless(32));
    EXPECT_EQ(highScore, 42);
    useFakeClock(1000);
    ASSERT_TRUE(playRoundToItsEnd(40));
    EXPECT_EQ(readWhole("highscore.dat"), " 42\n");
    ASSERT_TRUE(playRoundToItsEnd(47));
    EXPECT_EQ(readWhole("highscore.dat"), "47\n");
    fs::remove("highscore.dat");
    fs::create_directory("highscore.dat");
    ASSERT_TRUE(playRoundToItsEnd(50));
    EXPECT_EQ(highScore, 50);
    EXPECT_TRUE(fs::is_directory("highscore.dat"));
    EXPECT_EQ(folderListing(), "Media highscore.dat ");
}

} // namespace
