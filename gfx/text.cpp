// Bitmap font text (to come).
#include "gfx/text.h"

SDL_Surface* fontImage = nullptr;
SDL_Surface* tintedFontImage = nullptr;
SDL_Rect glyphRects[GlyphCount] = {};

int glyphIndex(unsigned char /*character*/) { return 0; }
void drawText(int /*x*/, Sint16 /*y*/, const char* /*text*/, int /*align*/) {}
void drawTintedText(Sint16 /*y*/, const char* /*text*/) {}
