// The best score's file: one decimal number and a line end, read and written whole.
#pragma once

constexpr const char* HighScoreFileName = "highscore.dat";

// Called by the round reset when the round did not beat the best. Reads the number at the start
// of the file (leading white space and a sign allowed) into value; a missing file, text that is
// not a number or a number outside the signed 32-bit range leave value as it was. True when
// value was replaced.
bool readHighScoreFile(const char* path, int& value);

// Called by the round reset when the round beat the best. Writes value to a temporary file in
// the same folder, flushes, syncs and closes it, then renames it over path, so that a crash or
// a failed write never costs the old best. On any failure the temporary file is removed and the
// old file stays as it was. True when the new file is in place. When path is a symbolic link
// (or a chain of them) the file at its end is the one replaced, or created if the link dangles
// into an existing folder, and the link stays; a link dangling into a missing folder is
// replaced by the file.
bool writeHighScoreFile(const char* linkOrFile, int value);

// Called by the round reset when the round beat the best this game knows. Another game in the
// same folder may have stored a higher record since, so the file is read again just before the
// write, and written only when value beats what it holds. Both happen under an exclusive lock on
// the file's folder, which every game recording there takes, so two rounds ending at once cannot
// both pass the check. Returns the higher of value and the stored number.
int recordHighScore(const char* linkOrFile, int value);
