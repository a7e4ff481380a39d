// Writes that fail part-way (a file size limit; SIGXFSZ ignored, so the write reports EFBIG):
// the old high score file stays byte for byte, no partial file is left, and play goes on.
#include <gtest/gtest.h>

#include <SDL.h>

#include <csignal>
#include <string>
#include <sys/resource.h>

#include "dashboard/controller.h"
#include "dashboard/state.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"
#include "support/play.h"

namespace {

// Lets writes go only up to limit bytes into any file while it lives.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit tight = saved_;
        tight.rlim_cur = limit;
        ok_ = setrlimit(RLIMIT_FSIZE, &tight) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

  private:
    rlimit saved_{};
    bool ok_ = false;
};

class WriteFaults : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        enterScratchFolder(true);
        ASSERT_TRUE(startHeadless(32));
        useFakeClock(1000);
        queryAppState = focusedAppState;
    }
};

} // namespace

// "123456\n" is 7 bytes: the limits cut it before its first byte, inside it and at its end.
TEST_P(WriteFaults, AHighScoreWriteCutShortKeepsTheOldFile) {
    const int limit = GetParam();
    writeWhole("highscore.dat", "50\n");
    resetRound(); // read it, as start-up would have
    ASSERT_EQ(highScore, 50);
    {
        FileSizeLimit cut(static_cast<rlim_t>(limit));
        ASSERT_TRUE(cut.ok());
        ASSERT_TRUE(playRoundToItsEnd(123456));
    }
    EXPECT_EQ(highScore, 123456); // the run still knows the new best
    EXPECT_EQ(readWhole("highscore.dat"), "50\n");
    EXPECT_EQ(folderListing(), "Media highscore.dat ");
    // Play goes on; the next round that does not beat it falls back to what the file holds.
    ASSERT_TRUE(playRoundToItsEnd(7));
    EXPECT_EQ(highScore, 50);
    // With room again, a better round is written whole.
    ASSERT_TRUE(playRoundToItsEnd(60));
    EXPECT_EQ(readWhole("highscore.dat"), "60\n");
    EXPECT_EQ(folderListing(), "Media highscore.dat ");
}

TEST_P(WriteFaults, AFirstHighScoreWriteCutShortLeavesNoFile) {
    {
        FileSizeLimit cut(static_cast<rlim_t>(GetParam()));
        ASSERT_TRUE(cut.ok());
        ASSERT_TRUE(playRoundToItsEnd(123456));
    }
    EXPECT_EQ(folderListing(), "Media ");
    playClicking(20);
    EXPECT_FALSE(quitRequested);
}

INSTANTIATE_TEST_SUITE_P(CutAt, WriteFaults, ::testing::Values(0, 1, 3, 6));

// A 640 x 480 screenshot is a 921654-byte BMP; cut it in the header, early and late in the
// pixels, and one byte short.
class ScreenshotWriteFaults : public WriteFaults {};

TEST_P(ScreenshotWriteFaults, AScreenshotCutShortLeavesNoFileAndTheNextOneIsWhole) {
    playClicking(30);
    ASSERT_TRUE(openDashboardFully());
    {
        FileSizeLimit cut(static_cast<rlim_t>(GetParam()));
        ASSERT_TRUE(cut.ok());
        clickSaveScreenshot();
    }
    EXPECT_EQ(folderListing(), "Media ");
    EXPECT_TRUE(dashboardOpen);
    clickSaveScreenshot();
    EXPECT_EQ(folderListing(), "Media screenshot1.bmp ");
    SDL_Surface* saved = SDL_LoadBMP("screenshot1.bmp");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->w, 640);
    EXPECT_EQ(saved->h, 480);
    SDL_FreeSurface(saved);
    ASSERT_TRUE(closeDashboardFully());
    playClicking(20);
    EXPECT_FALSE(quitRequested);
}

INSTANTIATE_TEST_SUITE_P(CutAt, ScreenshotWriteFaults,
                         ::testing::Values(0, 10, 54, 4096, 500000, 921653));
