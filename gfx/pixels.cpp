// The font tint: the purple copy of the font sheet; pixel access itself is inline in the header.
#include "gfx/pixels.h"

#include <algorithm>

#include "gfx/text.h"

void tintFont(Uint32 colour) {
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
