// Test support: numbered font sheets and reading cells back from the screen.
#include "support/numbered_font.h"

#include "gfx/text.h"
#include "platform/display.h"
#include "support/headless.h"

SDL_Surface* makeNumberedSheet(Uint8 mark, int width) {
    SDL_Surface* sheet = SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, width, GlyphHeight, 32,
                                              0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    for (Sint16 x = 0; x < width; x += GlyphWidth) {
        SDL_Rect cell = {x, 0, GlyphWidth, GlyphHeight};
        SDL_FillRect(sheet, &cell, SDL_MapRGBA(sheet->format, x / GlyphWidth, mark, 7, 255));
    }
    return sheet;
}

void useNumberedSheets() {
    SDL_FreeSurface(fontImage);
    SDL_FreeSurface(tintedFontImage);
    fontImage = makeNumberedSheet(PlainMark);
    tintedFontImage = makeNumberedSheet(TintedMark);
}

int cellAt(int x, int y, Uint8 mark) {
    Uint8 r = 0, g = 0, b = 0;
    readRgb(screen, x, y, r, g, b);
    return g == mark && b == 7 ? r : NoCell;
}
