// The heads-up drawing over the tunnel: the health bar and the outlined score lines.
#pragma once

#include <SDL.h>

#include "gfx/drawing_picture.h"

extern bool fontTinted; // the purple sheet has been made; set once, never cleared

// Called first in every drawScene: makes the purple font sheet on the first call only.
void prepareScoreFont();
// Called by drawScene after the enemies, while its spans are begun: the black frame x 18..621,
// y 423..451, and the purple bar inside it, as long as shownHealth.
void drawHealthBar(Uint32 black, Uint32 tint);
// Called last in every drawScene: the "HighScore " line at y 420 and the "Score     " line at 435.
void drawScoreLines();

// ---- Exported for the tests only ----

// A ten-character prefix, up to eleven characters of a signed 32-bit number, the end byte.
constexpr int ScoreLineBufferSize = 22;

// What each score line's picture was made from: its text and row, and the font sheets.
struct ScoreLinePicture {
    char text[ScoreLineBufferSize] = "";
    Sint16 y = 0;
    const SDL_Surface* plainSheet = nullptr;
    const SDL_Surface* tintedSheet = nullptr;
    Uint32 fontRevision = 0;
    DrawingPicture picture;
};
// The high score line's and the score line's pictures, kept by drawScoreLines.
extern ScoreLinePicture scoreLinePictures[2];

// Draws one line onto target with its dark outline (eight plain copies) and the purple text at
// x 25, top y.
void drawOutlinedLine(SDL_Surface* target, Sint16 y, const char* text);
