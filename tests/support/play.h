// Test support: whole stretches of play through real frames: a round to its end, the dashboard
// opened and closed, a screenshot clicked, and small file helpers for checking what is on disk.
#pragma once

#include <SDL.h>

#include <string>

// Stand in for the window's focus (queryAppState) so the cursor and the aim work, or do not,
// under the dummy driver.
Uint8 focusedAppState();
Uint8 unfocusedAppState();

// Plays frames of frameMs milliseconds, with the round's score set to roundScore, until the
// round ends (the displayed health ran out and the reset refilled it). False when it has not
// ended after maxFrames.
bool playRoundToItsEnd(int roundScore, Uint32 frameMs = 50, int maxFrames = 6000);
// Plays frames of frameMs, clicking the left button on the screen's middle every other frame.
void playClicking(int frames, Uint32 frameMs = 16);
// Escape, then frames until the dashboard is fully open; false if it never got there.
bool openDashboardFully();
// Moves the mouse onto "Save BMP screenshot" of the open dashboard and clicks it (one frame).
void clickSaveScreenshot();
// Escape, then frames until the dashboard is fully closed and the world runs again.
bool closeDashboardFully();
// Start-up's aftermath in one go: a round played to its end, the dashboard opened, a
// screenshot saved, the dashboard closed and a few more frames. Expects no quit on the way.
void playFullSequence();

// File helpers: the whole content, a fresh content, the sorted names of a folder's entries.
std::string readWhole(const std::string& path);
void writeWhole(const std::string& path, const std::string& text);
std::string folderListing(const std::string& folder = ".");
