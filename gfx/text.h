// Bitmap font text: the two font sheets (loaded, and the purple one tinted, here), their glyph
// cells, and drawing with alignment.
#pragma once

#include <SDL.h>

constexpr int GlyphCount = 95; // space (32) to tilde (126)
constexpr int GlyphWidth = 15;
constexpr int GlyphHeight = 21;
// The distance from one character's left edge to the next; cells overlap by 4 pixels.
constexpr int glyphAdvance = 11; // NOLINT(readability-identifier-naming): the game's own name

constexpr int AlignLeft = 1;
constexpr int AlignCentre = 2;
constexpr int AlignRight = 3;

// The plain sheet and its purple copy, both loaded by loadFont; absent when the file could not
// be loaded.
extern SDL_Surface* fontImage;
extern SDL_Surface* tintedFontImage;
// Cell i is x 15 * i, y 0, 15 x 21; filled by loadFont before any text is drawn.
extern SDL_Rect glyphRects[GlyphCount];
// Counts the changes to the sheets: loadFont and tintFont step it, and so must anything else
// that replaces or rewrites a sheet. Pictures made from the sheets compare it.
extern Uint32 fontRevision;

// Called once by start-up, after the window is open: loads "Media/Lumadeck/Font.png" twice (the
// second copy is the one tintFont rewrites) and fills glyphRects. Steps fontRevision.
void loadFont();
// Called once, by the score lines at the start of the first scene: rewrites tintedFontImage as
// a silhouette of fontImage in the given raw colour (tintedFontImage's format), keeping alpha.
// Does nothing while either sheet is absent, and walks only the extent both sheets share. Steps
// fontRevision.
void tintFont(Uint32 colour);

// Draws text from fontImage onto target (the screen, or a picture's scratch): align 1 left at x,
// 2 centred on x, 3 ending at x, any other value starting at 0. Callers: score lines, dashboard
// header, footer and buttons.
void drawText(SDL_Surface* target, int x, Sint16 y, const char* text, int align);
// Draws text from tintedFontImage onto target with its left edge at x 25. Caller: the score
// lines.
void drawTintedText(SDL_Surface* target, Sint16 y, const char* text);

// ---- Exported for the tests only ----

// The cell of a byte: 32..126 map to byte - 32, every other byte to 0 (space). Called by
// drawText and drawTintedText.
int glyphIndex(unsigned char character);
