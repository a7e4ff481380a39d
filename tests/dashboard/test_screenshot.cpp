// Screenshots: numbering, never overwriting, no partial files, and the saved picture is the
// captured game frame.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dashboard/backdrop.h"
#include "dashboard/controller.h"
#include "dashboard/screenshot.h"
#include "dashboard/state.h"
#include "dashboard_fixture.h"

namespace {

bool exists(const std::string& name) {
    struct stat info;
    return lstat(name.c_str(), &info) == 0;
}

void makeFile(const std::string& name, const std::string& content) {
    std::ofstream(name) << content;
}

std::string contentOf(const std::string& name) {
    std::ifstream file(name);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class Screenshots : public ::testing::Test {
  protected:
    void SetUp() override { startDashboardTest(32); }
};

} // namespace

TEST_F(Screenshots, NumberFromOneAndAfterNineComesTen) {
    EXPECT_TRUE(saveScreenshot());
    EXPECT_TRUE(exists("screenshot1.bmp"));
    EXPECT_TRUE(saveScreenshot());
    EXPECT_TRUE(exists("screenshot2.bmp"));
    for (int n = 3; n <= 9; ++n) {
        makeFile("screenshot" + std::to_string(n) + ".bmp", "x");
    }
    EXPECT_TRUE(saveScreenshot());
    EXPECT_TRUE(exists("screenshot10.bmp"));
    EXPECT_FALSE(exists("screenshot010.bmp"));
}

TEST_F(Screenshots, TheFirstGapIsFilled) {
    makeFile("screenshot1.bmp", "one");
    makeFile("screenshot3.bmp", "three");
    EXPECT_TRUE(saveScreenshot());
    EXPECT_TRUE(exists("screenshot2.bmp"));
    EXPECT_EQ(contentOf("screenshot1.bmp"), "one");
    EXPECT_EQ(contentOf("screenshot3.bmp"), "three");
    EXPECT_FALSE(exists("screenshot4.bmp"));
}

TEST_F(Screenshots, UnreadableFilesAndDanglingLinksAreNeverReplaced) {
    makeFile("screenshot1.bmp", "private");
    chmod("screenshot1.bmp", 0);
    ASSERT_EQ(symlink("elsewhere.bmp", "screenshot2.bmp"), 0);
    EXPECT_TRUE(saveScreenshot());
    EXPECT_TRUE(exists("screenshot3.bmp"));
    EXPECT_FALSE(exists("elsewhere.bmp"));
    chmod("screenshot1.bmp", 0600);
    EXPECT_EQ(contentOf("screenshot1.bmp"), "private");
}

TEST_F(Screenshots, AFailedWriteLeavesNoFile) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = {4096, 4096};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    EXPECT_FALSE(saveScreenshot());
    EXPECT_FALSE(exists("screenshot1.bmp"));
}

TEST_F(Screenshots, NoCaptureSurfaceWritesNothing) {
    backdropCapture = nullptr;
    EXPECT_FALSE(saveScreenshot());
    EXPECT_FALSE(exists("screenshot1.bmp"));
}

TEST_F(Screenshots, AFolderThatCannotBeWrittenWritesNothing) {
    ASSERT_EQ(mkdir("sub", 0755), 0);
    ASSERT_EQ(chdir("sub"), 0);
    ASSERT_EQ(rmdir("../sub"), 0);
    EXPECT_FALSE(saveScreenshot());
}

TEST_F(Screenshots, SavedPictureIsTheCapturedGameFrameNotTheDashboard) {
    for (int i = 0; i < 20; ++i) {
        runFrameLasting(16);
    }
    runFrameWithEscape();
    for (int i = 0; i < 40; ++i) {
        runFrameLasting(16);
    }
    ASSERT_EQ(dashboardFraction, 100.0);
    ASSERT_TRUE(saveScreenshot());
    SDL_Surface* saved = SDL_LoadBMP("screenshot1.bmp");
    ASSERT_NE(saved, nullptr);
    ASSERT_EQ(saved->w, 640);
    ASSERT_EQ(saved->h, 480);
    int differsFromScreen = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            Uint8 savedRgb[3];
            Uint8 captured[3];
            Uint8 shown[3];
            readRgb(saved, x, y, savedRgb[0], savedRgb[1], savedRgb[2]);
            readRgb(backdropCapture, x, y, captured[0], captured[1], captured[2]);
            readRgb(screen, x, y, shown[0], shown[1], shown[2]);
            for (int k = 0; k < 3; ++k) {
                ASSERT_EQ(savedRgb[k], captured[k]) << x << "," << y;
                ASSERT_EQ(savedRgb[k], capturedRgb[((x * 480) + y) * 3 + k]) << x << "," << y;
            }
            differsFromScreen += savedRgb[0] != shown[0] ? 1 : 0;
        }
    }
    EXPECT_GT(differsFromScreen, 100000);
    SDL_FreeSurface(saved);
}
