// The outlined high score and score lines: dark plain copies around the purple text.
#include "game/score_lines.h"

#include <cstdio>

#include "game/scene.h"
#include "game/world.h"
#include "gfx/pixels.h"
#include "gfx/text.h"

bool fontTinted = false;

namespace {

constexpr Sint16 HighScoreLineY = 420;
constexpr Sint16 ScoreLineY = 435;
// A ten-character prefix, up to eleven characters of a signed 32-bit number, the end byte.
constexpr int LineBufferSize = 22;

// Formats prefix and number into the line buffer and draws it outlined at row y.
void drawNumberLine(Sint16 y, const char* prefix, int number) {
    char line[LineBufferSize];
    std::snprintf(line, sizeof line, "%s%d", prefix, number);
    drawOutlinedLine(y, line);
}

} // namespace

void prepareScoreFont() {
    if (fontTinted) {
        return;
    }
    fontTinted = true;
    if (tintedFontImage != nullptr) {
        tintFont(SDL_MapRGB(tintedFontImage->format, TintRed, TintGreen, TintBlue));
    }
}

void drawScoreLines() {
    drawNumberLine(HighScoreLineY, "HighScore ", highScore);
    drawNumberLine(ScoreLineY, "Score     ", score);
}

void drawOutlinedLine(Sint16 y, const char* text) {
    // Diagonals one pixel out, the axes two pixels out; the purple copy goes on top.
    constexpr int OutlineX[] = {24, 24, 26, 26, 25, 25, 23, 27};
    constexpr int OutlineDy[] = {-1, 1, -1, 1, -2, 2, 0, 0};
    for (int i = 0; i < 8; ++i) {
        drawText(OutlineX[i], static_cast<Sint16>(y + OutlineDy[i]), text, AlignLeft);
    }
    drawTintedText(y, text);
}
