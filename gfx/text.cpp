// Bitmap font text: one blit per character from the plain or the purple sheet onto the screen.
#include "gfx/text.h"

#include <cstring>

#include "app/display.h"

SDL_Surface* fontImage = nullptr;
SDL_Surface* tintedFontImage = nullptr;
SDL_Rect glyphRects[GlyphCount] = {};

namespace {

constexpr int TintedTextLeft = 25;

// Destination positions are 16-bit: a pen past that range keeps only its low 16 bits.
Sint16 low16(long long value) {
    return static_cast<Sint16>(static_cast<Uint16>(value & 0xFFFF));
}

// Blits each byte's cell with its left edge at the pen, advancing 11 pixels per byte. A missing
// sheet (or no screen yet) draws nothing.
void drawFromSheet(SDL_Surface* sheet, long long pen, Sint16 y, const char* text) {
    if (sheet == nullptr || screen == nullptr || text == nullptr) {
        return;
    }
    for (const char* c = text; *c != '\0'; ++c) {
        // Copies, so the blit can never disturb the table.
        SDL_Rect source = glyphRects[glyphIndex(static_cast<unsigned char>(*c))];
        SDL_Rect destination = {low16(pen), y, 0, 0};
        SDL_UpperBlit(sheet, &source, screen, &destination);
        pen += glyphAdvance;
    }
}

} // namespace

int glyphIndex(unsigned char character) {
    if (character >= 32 && character <= 126) {
        return character - 32;
    }
    return 0;
}

void drawText(int x, Sint16 y, const char* text, int align) {
    if (text == nullptr) {
        return;
    }
    const auto width = static_cast<long long>(std::strlen(text)) * glyphAdvance;
    long long pen = 0;
    if (align == AlignLeft) {
        pen = x;
    } else if (align == AlignCentre) {
        pen = x - width / 2;
    } else if (align == AlignRight) {
        pen = x - width;
    }
    drawFromSheet(fontImage, pen, y, text);
}

void drawTintedText(Sint16 y, const char* text) {
    drawFromSheet(tintedFontImage, TintedTextLeft, y, text);
}
