// A screenshot's permissions are what the player's umask leaves of read and write for all.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "dashboard/screenshot.h"
#include "dashboard_fixture.h"

namespace {

TEST(ScreenshotMode, TheUmaskDecides) {
    startDashboardTest(32);
    const struct {
        mode_t umask;
        mode_t mode;
    } cases[] = {
        {022, 0644}, {002, 0664}, // a group-writable umask gives a group-writable file
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.umask);
        const mode_t saved = umask(row.umask);
        const bool written = saveScreenshot();
        umask(saved);
        ASSERT_TRUE(written);
        struct stat info;
        ASSERT_EQ(stat("screenshot1.bmp", &info), 0);
        EXPECT_EQ(info.st_mode & 07777, row.mode);
        ASSERT_EQ(unlink("screenshot1.bmp"), 0);
    }
}

} // namespace
