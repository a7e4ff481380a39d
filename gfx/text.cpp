// Bitmap font text: the two font sheets, their purple tint, and one blit per character from the
// plain or the purple sheet onto a target surface.
#include "gfx/text.h"

#include <algorithm>
#include <cstring>

#include "gfx/image.h"
#include "gfx/pixels.h"

SDL_Surface* fontImage = nullptr;
SDL_Surface* tintedFontImage = nullptr;
SDL_Rect glyphRects[GlyphCount] = {};
Uint32 fontRevision = 0;

namespace {

constexpr int TintedTextLeft = 25;

// Destination positions are 16-bit: a pen past that range keeps only its low 16 bits.
Sint16 low16(long long value) {
    return static_cast<Sint16>(static_cast<Uint16>(value & 0xFFFF));
}

// Blits each byte's cell onto target with its left edge at the pen, advancing 11 pixels per
// byte. A missing sheet (or no target yet) draws nothing.
void drawFromSheet(SDL_Surface* sheet, SDL_Surface* target, long long pen, Sint16 y,
                   const char* text) {
    if (sheet == nullptr || target == nullptr || text == nullptr) {
        return;
    }
    const SDL_Rect& clip = target->clip_rect;
    for (const char* c = text; *c != '\0'; ++c, pen += glyphAdvance) {
        // Copies, so the blit can never disturb the table.
        SDL_Rect source = glyphRects[glyphIndex(static_cast<unsigned char>(*c))];
        SDL_Rect destination = {low16(pen), y, 0, 0};
        // A cell wholly outside the clip would blit nothing; a narrow clip passes most cells by.
        if (destination.x + source.w <= clip.x || destination.x >= clip.x + clip.w ||
            y + source.h <= clip.y || y >= clip.y + clip.h) {
            continue;
        }
        SDL_UpperBlit(sheet, &source, target, &destination);
    }
}

} // namespace

void loadFont() {
    ++fontRevision;
    fontImage = loadAlphaImage("Media/Lumadeck/Font.png");
    // A second, independent load: the tint rewrites this one in place.
    tintedFontImage = loadAlphaImage("Media/Lumadeck/Font.png");
    for (int i = 0; i < GlyphCount; ++i) {
        glyphRects[i] = {static_cast<Sint16>(GlyphWidth * i), 0, GlyphWidth, GlyphHeight};
    }
}

void tintFont(Uint32 colour) {
    ++fontRevision;
    if (fontImage == nullptr || tintedFontImage == nullptr) {
        return;
    }
    Uint8 red = 0;
    Uint8 green = 0;
    Uint8 blue = 0;
    SDL_GetRGB(colour, fontImage->format, &red, &green, &blue);
    // Both sheets come from one file, but the file may have changed between the two loads.
    const int width = std::min(fontImage->w, tintedFontImage->w);
    const int height = std::min(fontImage->h, tintedFontImage->h);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            Uint8 ignored = 0;
            Uint8 alpha = 0;
            SDL_GetRGBA(getPixel(fontImage, x, y), fontImage->format, &ignored, &ignored, &ignored,
                        &alpha);
            putPixel(tintedFontImage, x, y,
                     SDL_MapRGBA(tintedFontImage->format, red, green, blue, alpha));
        }
    }
}

int glyphIndex(unsigned char character) {
    if (character >= 32 && character <= 126) {
        return character - 32;
    }
    return 0;
}

void drawText(SDL_Surface* target, int x, Sint16 y, const char* text, int align) {
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
    drawFromSheet(fontImage, target, pen, y, text);
}

void drawTintedText(SDL_Surface* target, Sint16 y, const char* text) {
    drawFromSheet(tintedFontImage, target, TintedTextLeft, y, text);
}
