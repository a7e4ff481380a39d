// A high score file kept as a symbolic link: the record goes to the link's target, the link stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

#include "game/high_score.h"
#include "support/headless.h"

namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every entry under the folder in name order, so a temporary file left behind shows.
std::string listing(const fs::path& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        entries.push_back(entry.path().lexically_relative(folder).string());
    }
    std::sort(entries.begin(), entries.end());
    std::string names;
    for (const std::string& name : entries) {
        names += name + " ";
    }
    return names;
}

struct LinkCase {
    const char* what;
    // Links made in the game folder "game", in order, each "name" -> "target"; the high score
    // file is the first one. Targets are taken as written, relative ones from "game".
    std::vector<std::pair<std::string, std::string>> links;
    const char* oldTarget; // where "7\n" lies before the write; nullptr for none
    const char* newRecord; // where "42\n" must be after it, from the scratch folder
    bool linkStays;
    const char* after; // the scratch folder's entries after the write
};

TEST(HighScoreLink, TheRecordGoesToTheLinksTargetAndTheLinkStays) {
    const fs::path root = enterScratchFolder(false);
    const LinkCase cases[] = {
        {"a link to a file elsewhere",
         {{"highscore.dat", (root / "sync/best.dat").string()}},
         "sync/best.dat",
         "sync/best.dat",
         true,
         "game game/highscore.dat sync sync/best.dat "},
        {"a relative link, counted from the link's folder",
         {{"highscore.dat", "../sync/best.dat"}},
         "sync/best.dat",
         "sync/best.dat",
         true,
         "game game/highscore.dat sync sync/best.dat "},
        {"a chain of two links",
         {{"highscore.dat", "hop.dat"}, {"hop.dat", (root / "sync/best.dat").string()}},
         "sync/best.dat",
         "sync/best.dat",
         true,
         "game game/highscore.dat game/hop.dat sync sync/best.dat "},
        {"a dangling link into an existing folder",
         {{"highscore.dat", "../sync/best.dat"}},
         nullptr,
         "sync/best.dat",
         true,
         "game game/highscore.dat sync sync/best.dat "},
        {"a dangling link into a missing folder",
         {{"highscore.dat", "../gone/best.dat"}},
         nullptr,
         "game/highscore.dat",
         false,
         "game game/highscore.dat sync "},
    };
    for (const LinkCase& row : cases) {
        SCOPED_TRACE(row.what);
        fs::remove_all(root / "game");
        fs::remove_all(root / "sync");
        fs::create_directories(root / "game");
        fs::create_directories(root / "sync");
        for (const auto& [name, target] : row.links) {
            fs::create_symlink(target, root / "game" / name);
        }
        if (row.oldTarget != nullptr) {
            std::ofstream(root / row.oldTarget) << "7\n";
        }
        const std::string file = (root / "game/highscore.dat").string();

        int value = -1;
        EXPECT_EQ(readHighScoreFile(file.c_str(), value), row.oldTarget != nullptr);
        EXPECT_EQ(value, row.oldTarget != nullptr ? 7 : -1); // a dangling link is no file
        ASSERT_TRUE(writeHighScoreFile(file.c_str(), 42));

        EXPECT_EQ(fs::is_symlink(file), row.linkStays);
        EXPECT_EQ(contentOf(root / row.newRecord), "42\n");
        EXPECT_TRUE(readHighScoreFile(file.c_str(), value));
        EXPECT_EQ(value, 42);
        EXPECT_EQ(listing(root), row.after);
    }
}

TEST(HighScoreLink, AFailedWriteThroughALinkKeepsTargetAndLinkAndLeavesNoTemporary) {
    const fs::path root = enterScratchFolder(false);
    fs::create_directories(root / "sync");
    std::ofstream(root / "sync/best.dat") << "7 and the old tail\n";
    fs::create_symlink("sync/best.dat", root / "highscore.dat");
    // Root ignores permission bits, not the file size limit; SIGXFSZ ignored turns it into EFBIG.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tiny = saved;
    tiny.rlim_cur = 1;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool written = writeHighScoreFile("highscore.dat", 98765);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(written);
    EXPECT_TRUE(fs::is_symlink(root / "highscore.dat"));
    EXPECT_EQ(contentOf(root / "sync/best.dat"), "7 and the old tail\n");
    EXPECT_EQ(listing(root), "highscore.dat sync sync/best.dat ");
}

} // namespace
