// The outlined high score and score lines at the bottom left of the tunnel scene.
#pragma once

#include <SDL.h>

extern bool fontTinted; // the purple sheet has been made; set once, never cleared

// Called first in every drawScene: makes the purple font sheet on the first call only.
void prepareScoreFont();
// Called last in every drawScene: the "HighScore " line at y 420 and the "Score     " line at 435.
void drawScoreLines();
// Draws one line with its dark outline (eight plain copies) and the purple text at x 25, top y.
void drawOutlinedLine(Sint16 y, const char* text);
