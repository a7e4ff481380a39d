// The heads-up drawing over the tunnel: the health bar and the outlined score lines.
#pragma once

#include <SDL.h>

extern bool fontTinted; // the purple sheet has been made; set once, never cleared

// Called first in every drawScene: makes the purple font sheet on the first call only.
void prepareScoreFont();
// Called by drawScene after the enemies, while its spans are begun: the black frame x 18..621,
// y 423..451, and the purple bar inside it, as long as shownHealth.
void drawHealthBar(Uint32 black, Uint32 tint);
// Called last in every drawScene: the "HighScore " line at y 420 and the "Score     " line at 435.
void drawScoreLines();

// ---- Exported for the tests only ----

// Draws one line with its dark outline (eight plain copies) and the purple text at x 25, top y.
void drawOutlinedLine(Sint16 y, const char* text);
