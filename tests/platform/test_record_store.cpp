// The desktop's record store: the best score's file, its links and its lock.
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

#include "platform/record_store.h"
#include "support/headless.h"

namespace fs = std::filesystem;

// In a scratch folder, thirty seconds at most: a hang ends the test.
class RecordStore : public ::testing::Test {
  protected:
    void SetUp() override {
        enterScratchFolder(false);
        std::signal(SIGALRM, SIG_DFL), alarm(30);
    }
    void TearDown() override { alarm(0); }
};

// Rows: the file's text, then the best read from it (1111: refused, the best left as it was).
TEST_F(RecordStore, TheBestScoreReadTakesTheLeadingNumberAndRefusesEverythingElse) {
    // clang-format off
    const std::pair<std::string, int> rows[] = {
        {" 42\n", 42}, {"+17", 17}, {"  \t\n-7 points", -7}, {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN}, {"abc", 1111}, {"", 1111}, {" \t\n ", 1111}, {"- 5", 1111},
        {"2147483648", 1111}, {"-2147483649", 1111}, {std::string(4, '\0'), 1111}, {"no file", 1111}};
    // clang-format on
    for (const auto& [text, expected] : rows) {
        text == "no file" ? (void)fs::remove("highscore.dat") : writeWhole("highscore.dat", text);
        int value = 1111;
        EXPECT_EQ(readHighScoreFile("highscore.dat", value), expected != 1111) << text;
        EXPECT_EQ(value, expected) << text;
    }
}

// Rows: the high score file's links ("name>target" made in game/, ~ the scratch folder), whether
// "7" lay at the chain's end, where "42" must land. The link stays a link unless its target's
// folder is gone; a failed write through it keeps the target; no temporary is left anywhere.
TEST_F(RecordStore, AHighScoreLinkStaysALinkAndItsTargetGetsTheRecord) {
    const std::string root = fs::current_path().string();
    const std::tuple<std::string, bool, std::string> rows[] = {
        {"highscore.dat>~/sync/best.dat", true, "sync/best.dat"},
        {"highscore.dat>../sync/best.dat", true, "sync/best.dat"},
        {"highscore.dat>hop.dat hop.dat>~/sync/best.dat", true, "sync/best.dat"},
        {"highscore.dat>../sync/best.dat", false, "sync/best.dat"},
        {"highscore.dat>../gone/best.dat", false, "game/highscore.dat"}};
    const auto noTemporary = [] {
        for (const auto& entry : fs::recursive_directory_iterator(".")) {
            EXPECT_EQ(entry.path().string().find(".dat."), std::string::npos) << entry.path();
        }
    };
    for (const auto& [links, old, record] : rows) {
        SCOPED_TRACE(links);
        fs::remove_all("game"), fs::remove_all("sync");
        fs::create_directories("game"), fs::create_directories("sync");
        std::istringstream in(links);
        for (std::string link; in >> link;) {
            const std::string target = link.substr(link.find('>') + 1);
            fs::create_symlink(target[0] == '~' ? root + target.substr(1) : target,
                               "game/" + link.substr(0, link.find('>')));
        }
        old ? writeWhole(record, "7\n") : void();
        int value = -1;
        EXPECT_EQ(readHighScoreFile("game/highscore.dat", value), old);
        EXPECT_TRUE(writeHighScoreFile("game/highscore.dat", 42));
        EXPECT_EQ(readWhole(record), "42\n");
        EXPECT_EQ(fs::is_symlink("game/highscore.dat"), record != "game/highscore.dat");
        noTemporary();
    }
    fs::remove("game/highscore.dat");
    fs::create_symlink("../sync/best.dat", "game/highscore.dat");
    writeWhole("sync/best.dat", "42\n");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit tiny = {1, saved.rlim_max}; // the soft limit only
    setrlimit(RLIMIT_FSIZE, &tiny);
    EXPECT_FALSE(writeHighScoreFile("game/highscore.dat", 98765));
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(readWhole("sync/best.dat"), "42\n");
    EXPECT_TRUE(fs::is_symlink("game/highscore.dat"));
    noTemporary();
}

// Another game holds a lock on the folder, even a shared one, while it records 30 over 10; this
// game's 50 waits for it and lands on top. Without the wait the 30 would land on the 50.
TEST_F(RecordStore, ARecordWaitsForAnotherGameRecordingInTheSameFolder) {
    writeWhole("highscore.dat", "10\n");
    const int folder = open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(folder, LOCK_SH), 0);
    int best = 0;
    std::thread game([&best] { best = recordHighScore("highscore.dat", 50); });
    struct stat info {};
    fstat(folder, &info);
    const std::string inode = ":" + std::to_string(info.st_ino) + " ";
    const auto waiting = [&inode] {
        std::ifstream locks("/proc/locks");
        for (std::string line; std::getline(locks, line);) {
            if (line.find("->") != std::string::npos && line.find(inode) != std::string::npos) {
                return true;
            }
        }
        return false;
    };
    while (!waiting() && readWhole("highscore.dat") == "10\n") {
        usleep(1000);
    }
    writeWhole("highscore.dat", "30\n");
    close(folder);
    game.join();
    EXPECT_EQ(readWhole("highscore.dat"), "50\n");
    EXPECT_EQ(best, 50);
}
