// Player-level harness: a private Xvfb, the real glimm binary in a scratch folder, real input
// through xdotool (XTEST) and the window's pixels read back through Xlib.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// Starts a fresh Xvfb (24-bit, 1024 x 768, -noreset) on a free display and points DISPLAY at it.
bool startXServer();
// Ends the X server under the running game, as a logout or a crashed X session does; the
// harness's own connection is closed first.
void endXServer();
// Stops (true) or continues (false) the X server, as a display that no longer answers.
void freezeXServer(bool frozen);
// Makes a scratch working folder with the project's Media linked in; returns its path.
std::string makeGameFolder(bool withMedia = true);
// Starts the real binary in the folder (window at 0,0, dummy audio) with extra "NAME=value"s.
pid_t launchGame(const std::string& folder, const std::vector<std::string>& extraEnv = {});
// Waits for the mapped window captioned "Glimm"; returns its X id, 0 on timeout.
unsigned long waitForGameWindow(int timeoutMs = 10000);
// The window's size as the X server sees it.
bool windowSize(int& width, int& height);
// The whole window as 0xRRGGBB values, row by row (width * height entries).
std::vector<std::uint32_t> grabWindow(int& width, int& height);
// One pixel of the window as 0xRRGGBB.
std::uint32_t windowPixel(int x, int y);
// The window's caption (WM_NAME).
std::string windowCaption();
// Runs xdotool with the given arguments against our X server; returns its exit status.
int xdotool(const std::string& arguments);
// Real input: pointer moves relative to the window; clicks and keys held for a few frames,
// since a press released within one frame is never seen by the game.
void movePointer(int x, int y);
void clickButton(int button);
void pressKey(const std::string& keyName);
// Sends the window manager's close request (WM_DELETE_WINDOW client message).
void sendCloseRequest();
// Waits for the game to end; its exit status, or -1 if it is still running after the timeout.
int waitForGameExit(int timeoutMs = 5000);
// Sends a signal to the running game.
void signalGame(int signalNumber);
// The game's captured stderr so far.
std::string gameStderr();
// Ends the game (if running) and the X server.
void stopEverything();

// Fixture: an X server before each test, everything stopped after it.
class PlayerTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};
