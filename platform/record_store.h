// The record store: the best score and the screenshot numbers, kept where each build keeps
// them. The desktop keeps "highscore.dat" and the screenshot files in the working folder; the
// page keeps both in the browser's own storage (platform/web/record_store.cpp).
#pragma once

constexpr const char* HighScoreFileName = "highscore.dat";

// Called by the round reset whenever the round did not beat the best, which is how the best of
// earlier games is read at start-up: the stored best into value. Nothing stored, or nothing
// readable, leaves value as it was. True when value was replaced.
bool readStoredBest(int& value);

// Called by the round reset when the round beat the best this game knows. Another game may
// have stored a higher record since, so score is stored only when it beats what is stored,
// and the higher of the two comes back.
int offerRecord(int score);

// Called by the screenshot writer: takes the number of a new screenshot, which no earlier one
// used and no later take gives again; 0 when none can be had. On the desktop the number is the
// first whose "screenshot%d.bmp" no file (nor link, even a dangling one) uses, and the empty
// file is made there at once, with the mode the player's umask gives.
int takeScreenshotNumber();

// ---- Exported for the tests and the fuzzer only (the desktop's file) ----

// Reads the number at the start of the file (leading white space and a sign allowed) into
// value; a missing file, text that is not a number or a number outside the signed 32-bit range
// leave value as it was. True when value was replaced.
bool readHighScoreFile(const char* path, int& value);

// Writes value to a temporary file in the same folder, flushes, syncs and closes it, then
// renames it over path, so that a crash or a failed write never costs the old best. On any
// failure the temporary file is removed and the old file stays as it was. True when the new
// file is in place. When path is a symbolic link (or a chain of them) the file at its end is
// the one replaced, or created if the link dangles into an existing folder, and the link stays;
// a link dangling into a missing folder is replaced by the file.
bool writeHighScoreFile(const char* linkOrFile, int value);

// offerRecord on a given file: the file is read again just before the write, and written only
// when value beats what it holds. Both happen under an exclusive lock on the file's folder,
// which every game recording there takes, so two rounds ending at once cannot both pass the
// check. Returns the higher of value and the stored number.
int recordHighScore(const char* linkOrFile, int value);
