// The heads-up drawing: the health bar, and the score lines as dark plain copies around the
// purple text, each kept as a picture until its text or the font changes.
#include "game/hud.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "game/world.h"
#include "gfx/spans.h"
#include "gfx/text.h"
#include "platform/display.h"

bool fontTinted = false;
ScoreLinePicture scoreLinePictures[2];

namespace {

constexpr Sint16 HighScoreLineY = 420;
constexpr Sint16 ScoreLineY = 435;

// What a line's picture is made of, and how it is redrawn where its ground changed.
void drawLine(SDL_Surface* target, const void* line) {
    const auto* picture = static_cast<const ScoreLinePicture*>(line);
    drawOutlinedLine(target, picture->y, picture->text);
}

// Formats prefix and number and draws the line outlined at row y, from its picture; a new text,
// row or font makes the picture afresh.
void drawNumberLine(ScoreLinePicture& line, Sint16 y, const char* prefix, int number) {
    char text[ScoreLineBufferSize];
    std::snprintf(text, sizeof text, "%s%d", prefix, number);
    if (std::strcmp(text, line.text) != 0 || y != line.y || fontImage != line.plainSheet ||
        tintedFontImage != line.tintedSheet || fontRevision != line.fontRevision) {
        std::memcpy(line.text, text, sizeof text);
        line.y = y;
        line.plainSheet = fontImage;
        line.tintedSheet = tintedFontImage;
        line.fontRevision = fontRevision;
        forgetPicture(line.picture);
    }
    // The nine copies' cells: x 23 to the last cell of the copy at 27, rows y - 2 to y + 22.
    const auto length = static_cast<int>(std::strlen(text));
    const SDL_Rect area = {23, static_cast<Sint16>(y - 2),
                           static_cast<Uint16>(8 + glyphAdvance * (length - 1) + GlyphWidth),
                           GlyphHeight + 4};
    drawThroughPicture(line.picture, screen, area, drawLine, &line);
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
    drawNumberLine(scoreLinePictures[0], HighScoreLineY, "HighScore ", highScore);
    drawNumberLine(scoreLinePictures[1], ScoreLineY, "Score     ", score);
}

void drawOutlinedLine(SDL_Surface* target, Sint16 y, const char* text) {
    // Diagonals one pixel out, the axes two pixels out; the purple copy goes on top.
    constexpr int OutlineX[] = {24, 24, 26, 26, 25, 25, 23, 27};
    constexpr int OutlineDy[] = {-1, 1, -1, 1, -2, 2, 0, 0};
    for (int i = 0; i < 8; ++i) {
        drawText(target, OutlineX[i], static_cast<Sint16>(y + OutlineDy[i]), text, AlignLeft);
    }
    drawTintedText(target, y, text);
}
