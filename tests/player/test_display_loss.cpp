// The display going away under the running game, and a display that stops answering: the game
// must end within seconds, on whichever SDL runtime the tests run on.
#include "player/harness.h"

#include <csignal>

TEST_F(PlayerTest, LosingTheDisplayEndsTheGameWithAMessageAndAFailureStatus) {
    const struct {
        const char* when;
        const char* key; // pressed before the server ends; nullptr for none
    } cases[] = {
        {"while playing", nullptr},
        {"with the dashboard open", "Escape"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.when);
        if (&row != &cases[0]) {
            ASSERT_TRUE(startXServer()); // the previous row ended its server
        }
        launchGame(makeGameFolder());
        ASSERT_NE(waitForGameWindow(), 0UL) << gameStderr();
        if (row.key != nullptr) {
            pressKey(row.key);
        }
        endXServer();
        const int status = waitForGameExit(5000);
        EXPECT_NE(status, -1) << "still running after the display went away";
        EXPECT_NE(status, 0);
        EXPECT_NE(gameStderr().find("glimm: the connection to the display was lost"),
                  std::string::npos)
            << gameStderr();
        signalGame(SIGKILL); // a game left spinning must not outlive the row
        waitForGameExit(1000);
    }
}

TEST_F(PlayerTest, SigtermEndsTheGameWhenTheDisplayStopsAnswering) {
    launchGame(makeGameFolder());
    ASSERT_NE(waitForGameWindow(), 0UL) << gameStderr();
    freezeXServer(true);
    signalGame(SIGTERM);
    EXPECT_NE(waitForGameExit(10000), -1) << "SIGTERM unheard while the display is frozen";
    freezeXServer(false);
}
