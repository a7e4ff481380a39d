// Test support: PNG files written with Debian's stb_image_write.
#include "support/png_writer.h"

#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include "gfx/pixels.h"

bool savePng(SDL_Surface* surface, const std::string& path) {
    std::vector<unsigned char> rgba(static_cast<size_t>(surface->w * surface->h * 4));
    for (int y = 0; y < surface->h; ++y) {
        for (int x = 0; x < surface->w; ++x) {
            unsigned char* p = &rgba[static_cast<size_t>((y * surface->w + x) * 4)];
            SDL_GetRGBA(getPixel(surface, x, y), surface->format, &p[0], &p[1], &p[2], &p[3]);
        }
    }
    return stbi_write_png(path.c_str(), surface->w, surface->h, 4, rgba.data(), surface->w * 4) !=
           0;
}

SDL_Surface* makeRgbaSurface(int w, int h, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, w, h, 32, 0x000000FF,
                                                0x0000FF00, 0x00FF0000, 0xFF000000);
    if (surface != nullptr) {
        SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, r, g, b, a));
    }
    return surface;
}
