// The desktop's record store: the best score's file, its links and its lock.
#include <gtest/gtest.h>

#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

#include "platform/record_store.h"
#include "support/headless.h"

namespace fs = std::filesystem;

// Rows: the file's text, then the best read from it (1111: refused, the best left as it was).
TEST(RecordStore, TheBestScoreReadTakesTheLeadingNumberAndRefusesEverythingElse) {
    enterScratchFolder(false);
    alarm(30); // a read that hangs ends the test
    // clang-format off
    const std::pair<std::string, int> rows[] = {
        {" 42\n", 42}, {"+17", 17}, {"  \t\n-7 points", -7}, {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN}, {"abc", 1111}, {"", 1111}, {" \t\n ", 1111}, {"- 5", 1111},
        {"2147483648", 1111}, {"-2147483649", 1111}, {std::string(4, '\0'), 1111},
        {"no file", 1111}};
    // clang-format on
    for (const auto& [text, expected] : rows) {
        text == "no file" ? (void)fs::remove("highscore.dat") : writeWhole("highscore.dat", text);
        int value = 1111;
        EXPECT_EQ(readHighScoreFile("highscore.dat", value), expected != 1111) << text;
        EXPECT_EQ(value, expected) << text;
    }
}

// Rows: the high score file's links ("name>target" made in game/, ~ the scratch folder), whether
// "7" lay at the chain's end, where the record lands, whether the write fails (a disk full).
// The link stays a link unless its target's folder is gone; a failed write keeps the old
// record; no temporary file is left anywhere.
TEST(RecordStore, AHighScoreLinkStaysALinkAndItsTargetGetsTheRecord) {
    const std::string root = enterScratchFolder(false);
    const std::tuple<std::string, bool, std::string, bool> rows[] = {
        {"highscore.dat>~/sync/best.dat", true, "sync/best.dat", false},
        {"highscore.dat>../sync/best.dat", true, "sync/best.dat", false},
        {"highscore.dat>hop.dat hop.dat>~/sync/best.dat", true, "sync/best.dat", false},
        {"highscore.dat>../sync/best.dat", false, "sync/best.dat", false},
        {"highscore.dat>../gone/best.dat", false, "game/highscore.dat", false},
        {"highscore.dat>../sync/best.dat", true, "sync/best.dat", true}};
    for (const auto& [links, old, record, full] : rows) {
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
        EXPECT_EQ(underSizeLimit(full ? 1 : -1,
                                 [] { return writeHighScoreFile("game/highscore.dat", 42); }),
                  !full);
        EXPECT_EQ(readWhole(record), full ? "7\n" : "42\n");
        EXPECT_EQ(fs::is_symlink("game/highscore.dat"), record != "game/highscore.dat");
        for (const auto& entry : fs::recursive_directory_iterator(".")) {
            EXPECT_EQ(entry.path().string().find(".dat."), std::string::npos) << entry.path();
        }
    }
}

// Another game holds a lock on the folder, even a shared one, while it records 30 over 10; this
// game's 50 waits for it and lands on top. Without the wait the 30 would land on the 50.
TEST(RecordStore, ARecordWaitsForAnotherGameRecordingInTheSameFolder) {
    enterScratchFolder(false);
    alarm(30); // a wait that never ends ends the test
    writeWhole("highscore.dat", "10\n");
    const int folder = open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(folder, LOCK_SH), 0);
    int best = 0;
    std::thread game([&best] { best = recordHighScore("highscore.dat", 50); });
    struct stat info {};
    fstat(folder, &info);
    const std::string waitingOnFolder = ":" + std::to_string(info.st_ino) + " ";
    for (bool waiting = false; !waiting && readWhole("highscore.dat") == "10\n"; usleep(1000)) {
        std::ifstream locks("/proc/locks");
        for (std::string line; !waiting && std::getline(locks, line);) {
            waiting = line.find("->") != std::string::npos &&
                      line.find(waitingOnFolder) != std::string::npos;
        }
    }
    writeWhole("highscore.dat", "30\n");
    close(folder);
    game.join();
    EXPECT_EQ(readWhole("highscore.dat"), "50\n");
    EXPECT_EQ(best, 50);
}
