// The real binary in a real X server: its window, and the ways it ends.
#include "player/harness.h"

#include <csignal>

TEST_F(PlayerTest, WindowIs640By480AndCaptionedGlimm) {
    launchGame(makeGameFolder());
    ASSERT_NE(waitForGameWindow(), 0UL) << gameStderr();
    int width = 0;
    int height = 0;
    ASSERT_TRUE(windowSize(width, height));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(windowCaption(), "Glimm");
}

TEST_F(PlayerTest, CloseRequestAndSigtermEndTheGameWithStatusZero) {
    launchGame(makeGameFolder());
    ASSERT_NE(waitForGameWindow(), 0UL) << gameStderr();
    sendCloseRequest();
    EXPECT_EQ(waitForGameExit(3000), 0) << gameStderr();

    launchGame(makeGameFolder());
    ASSERT_NE(waitForGameWindow(), 0UL) << gameStderr();
    signalGame(SIGTERM);
    EXPECT_EQ(waitForGameExit(3000), 0) << gameStderr();
}
