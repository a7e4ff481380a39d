// Bad high score files: the game starts, plays rounds to their end and resets, and the file is
// either left byte for byte or replaced by a complete, valid one.
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <filesystem>
#include <ostream>
#include <string>

#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"
#include "support/play.h"

namespace fs = std::filesystem;

namespace {

enum class Shape { Missing, Text, Directory, DanglingLink };

struct BadFile {
    const char* name;
    Shape shape;
    std::string text;
    int highScoreAtStart; // what the design gives on reading it
};

const BadFile BadFiles[] = {
    {"missing", Shape::Missing, "", 0},
    {"empty", Shape::Text, "", 0},
    {"white space only", Shape::Text, " \t\n\r\v\f  \n", 0},
    {"number after blanks", Shape::Text, " 42\n", 42},
    {"number then letters", Shape::Text, "42abc", 42},
    {"negative", Shape::Text, "-7", -7},
    {"letters", Shape::Text, "abc", 0},
    {"past INT_MAX", Shape::Text, "2147483648\n", 0},
    {"past INT_MIN", Shape::Text, "-2147483649\n", 0},
    {"INT_MAX", Shape::Text, "2147483647\n", INT_MAX},
    {"NUL bytes", Shape::Text, std::string("\0\0\0\0", 4), 0},
    {"NUL inside the number", Shape::Text,
     std::string("4\0"
                 "2\n",
                 4),
     4},
    {"10 MB of digits", Shape::Text, std::string(10u << 20, '9'), 0},
    {"10 MB of zeros then 7", Shape::Text, std::string(10u << 20, '0') + "7", 7},
    {"binary", Shape::Text, std::string("\x89PNG\r\n\x1a\n\xff\xfe", 10), 0},
    {"a directory", Shape::Directory, "", 0},
    {"a dangling link", Shape::DanglingLink, "", 0},
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const BadFile& bad, std::ostream* out) {
    *out << bad.name;
}

class BadHighScoreFile : public ::testing::TestWithParam<BadFile> {};

void makeFile(const BadFile& bad) {
    switch (bad.shape) {
    case Shape::Missing:
        break;
    case Shape::Text:
        writeWhole("highscore.dat", bad.text);
        break;
    case Shape::Directory:
        fs::create_directory("highscore.dat");
        writeWhole("highscore.dat/inside", "1\n");
        break;
    case Shape::DanglingLink:
        fs::create_symlink("nowhere/highscore.dat", "highscore.dat");
        break;
    }
}

// The file as it stands: its text, or a note of what else is there.
std::string fileState() {
    const fs::file_status status = fs::symlink_status("highscore.dat");
    if (fs::is_symlink(status)) {
        return "link to " + fs::read_symlink("highscore.dat").string();
    }
    if (fs::is_directory(status)) {
        return "directory holding " + folderListing("highscore.dat");
    }
    if (!fs::exists(status)) {
        return "missing";
    }
    return "file " + readWhole("highscore.dat");
}

} // namespace

TEST_P(BadHighScoreFile, RoundsEndAndResetAndTheFileIsNeverDamaged) {
    const BadFile& bad = GetParam();
    enterScratchFolder(true);
    makeFile(bad);
    const std::string before = fileState();
    ASSERT_TRUE(startHeadless(32));
    EXPECT_EQ(highScore, bad.highScoreAtStart);
    useFakeClock(1000);
    queryAppState = focusedAppState;

    // A round that does not beat the best reads the file again and leaves it alone.
    const int lower = bad.highScoreAtStart == INT_MIN ? INT_MIN : bad.highScoreAtStart - 1;
    ASSERT_TRUE(playRoundToItsEnd(lower));
    EXPECT_EQ(highScore, bad.highScoreAtStart);
    EXPECT_EQ(fileState(), before);
    EXPECT_EQ(folderListing(), bad.shape == Shape::Missing ? "Media " : "Media highscore.dat ");

    // A round that beats it replaces the file whole, or, where that cannot be done (a
    // directory is in the way), leaves everything as it was and keeps the score for the run.
    if (bad.highScoreAtStart == INT_MAX) {
        return;
    }
    const int better = bad.highScoreAtStart + 5;
    ASSERT_TRUE(playRoundToItsEnd(better));
    EXPECT_EQ(highScore, better);
    if (bad.shape == Shape::Directory) {
        EXPECT_EQ(fileState(), before);
    } else {
        EXPECT_EQ(fileState(), "file " + std::to_string(better) + "\n");
    }
    EXPECT_EQ(folderListing(), "Media highscore.dat "); // no temporary file left behind
    // And play goes on into the next round.
    playClicking(30);
    EXPECT_FALSE(quitRequested);
}

INSTANTIATE_TEST_SUITE_P(Table, BadHighScoreFile, ::testing::ValuesIn(BadFiles),
                         [](const ::testing::TestParamInfo<BadFile>& info) {
                             std::string name;
                             for (const char c : std::string(info.param.name)) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });
