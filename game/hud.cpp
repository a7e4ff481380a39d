// The heads-up drawing: the health bar, and the score lines as dark plain copies around the
// purple text.
#include "game/hud.h"

#include <algorithm>
#include <cstdio>

#include "game/world.h"
#include "gfx/spans.h"
#include "gfx/text.h"
#include "platform/display.h"

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

void drawHealthBar(Uint32 black, Uint32 tint) {
    const int barRight = std::min(20 + static_cast<Uint16>(shownHealth * 600.0), ScreenWidth);
    for (int y = 423; y <= 451; ++y) {
        fillSpan(y, 18, 622, black);
        if (y >= 425 && y <= 449) {
            fillSpan(y, 20, barRight, tint);
        }
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
