// Test support: play through real frames, the one stand-in for the window's focus, and file
// helpers for checking what is on disk.
#pragma once

#include <SDL.h>

#include <string>

// Stand in for the window's focus (queryAppState): with and without the mouse over the window.
Uint8 focusedAppState();
Uint8 unfocusedAppState();

// Plays frames of frameMs with the round's score set to roundScore until the round ends (the
// shown health ran out and the reset refilled it); false when it has not after maxFrames.
bool playRoundToItsEnd(int roundScore, Uint32 frameMs = 50, int maxFrames = 6000);
// From start-up on a fake clock: clicking play, a round to its end, the dashboard opened, "Save
// BMP screenshot" clicked, the dashboard closed, more play. Expects each step, and no quit.
void playFullSequence();

// The whole content of a file, a fresh content, the sorted names of a folder's entries.
std::string readWhole(const std::string& path);
void writeWhole(const std::string& path, const std::string& text);
std::string folderListing(const std::string& folder = ".");
