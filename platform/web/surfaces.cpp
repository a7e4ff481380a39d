// Surfaces, pixel formats, colour mapping, colour keys and display-format copies for the page,
// as classic SDL 1.2 defines them: every surface is plain memory, never locked.
#include "platform/web/surfaces.h"

#include <cstdlib>
#include <cstring>

#include "platform/display.h"

namespace {

// A channel's place in a pixel: the lowest bit of its mask and the bits it lacks of 8. An absent
// channel (mask 0) has shift 0 and loss 8, as in SDL.
void describeChannel(Uint32 mask, Uint8& shift, Uint8& loss) {
    shift = 0;
    loss = 8;
    if (mask == 0) {
        return;
    }
    for (; (mask & 1) == 0; mask >>= 1) {
        ++shift;
    }
    for (; (mask & 1) != 0 && loss > 0; mask >>= 1) {
        --loss;
    }
}

// A surface in the given format with the pixels absent when its size is 0.
SDL_Surface* makeSurface(Uint32 flags, int w, int h, int bytesPerPixel, Uint32 redMask,
                         Uint32 greenMask, Uint32 blueMask, Uint32 alphaMask) {
    if (w < 0 || h < 0 || bytesPerPixel < 2 || bytesPerPixel > 4 || w > 16384 || h > 16384) {
        return nullptr;
    }
    auto* format = static_cast<SDL_PixelFormat*>(std::calloc(1, sizeof(SDL_PixelFormat)));
    auto* surface = static_cast<SDL_Surface*>(std::calloc(1, sizeof(SDL_Surface)));
    const int pitch = (w * bytesPerPixel + 3) & ~3;
    void* pixels = std::calloc(static_cast<size_t>(pitch) * h + 1, 1);
    if (format == nullptr || surface == nullptr || pixels == nullptr) {
        std::free(format), std::free(surface), std::free(pixels);
        return nullptr;
    }
    format->BitsPerPixel = static_cast<Uint8>(bytesPerPixel * 8);
    format->BytesPerPixel = static_cast<Uint8>(bytesPerPixel);
    format->Rmask = redMask, format->Gmask = greenMask;
    format->Bmask = blueMask, format->Amask = alphaMask;
    describeChannel(redMask, format->Rshift, format->Rloss);
    describeChannel(greenMask, format->Gshift, format->Gloss);
    describeChannel(blueMask, format->Bshift, format->Bloss);
    describeChannel(alphaMask, format->Ashift, format->Aloss);
    format->alpha = SDL_ALPHA_OPAQUE;
    // As classic SDL: a surface with an alpha channel is blended when blitted.
    surface->flags = (flags & SDL_SRCCOLORKEY) | (alphaMask != 0 ? SDL_SRCALPHA : 0);
    surface->format = format;
    surface->w = w, surface->h = h;
    surface->pitch = static_cast<Uint16>(pitch);
    surface->pixels = pixels;
    surface->clip_rect = {0, 0, static_cast<Uint16>(w), static_cast<Uint16>(h)};
    surface->refcount = 1;
    return surface;
}

// The source's picture in the target's format, pixel by pixel; colour-keyed pixels become
// transparent when the target has alpha and keepKey is false.
SDL_Surface* convert(const SDL_Surface* source, Uint32 alphaMask, bool keepKey) {
    if (source == nullptr || screen == nullptr) {
        return nullptr;
    }
    SDL_Surface* result = makeSurface(0, source->w, source->h, 4, DisplayRedMask, DisplayGreenMask,
                                      DisplayBlueMask, alphaMask);
    if (result == nullptr) {
        return nullptr;
    }
    const SDL_PixelFormat* from = source->format;
    const bool keyed = (source->flags & SDL_SRCCOLORKEY) != 0;
    const Uint32 key = from->colorkey & ~from->Amask;
    for (int y = 0; y < source->h; ++y) {
        for (int x = 0; x < source->w; ++x) {
            const Uint32 raw = readRawPixel(source, x, y);
            Uint8 r, g, b, a;
            SDL_GetRGBA(raw, const_cast<SDL_PixelFormat*>(from), &r, &g, &b, &a);
            if (keyed && !keepKey && (raw & ~from->Amask) == key) {
                a = SDL_ALPHA_TRANSPARENT;
            }
            writeRawPixel(result, x, y, SDL_MapRGBA(result->format, r, g, b, a));
        }
    }
    if (keyed && keepKey) {
        Uint8 r, g, b;
        SDL_GetRGB(from->colorkey, const_cast<SDL_PixelFormat*>(from), &r, &g, &b);
        SDL_SetColorKey(result, SDL_SRCCOLORKEY, SDL_MapRGB(result->format, r, g, b));
    }
    return result;
}

} // namespace

Uint32 readRawPixel(const SDL_Surface* surface, int x, int y) {
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch +
                     x * surface->format->BytesPerPixel;
    switch (surface->format->BytesPerPixel) {
    case 2: {
        Uint16 value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    case 3:
        return p[0] | static_cast<Uint32>(p[1]) << 8 | static_cast<Uint32>(p[2]) << 16;
    default: {
        Uint32 value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    }
}

void writeRawPixel(SDL_Surface* surface, int x, int y, Uint32 value) {
    Uint8* p = static_cast<Uint8*>(surface->pixels) + y * surface->pitch +
               x * surface->format->BytesPerPixel;
    switch (surface->format->BytesPerPixel) {
    case 2: {
        const auto narrow = static_cast<Uint16>(value);
        std::memcpy(p, &narrow, sizeof narrow);
        break;
    }
    case 3:
        p[0] = static_cast<Uint8>(value), p[1] = static_cast<Uint8>(value >> 8);
        p[2] = static_cast<Uint8>(value >> 16);
        break;
    default:
        std::memcpy(p, &value, sizeof value);
    }
}

bool intersectRects(const SDL_Rect& a, const SDL_Rect& b, SDL_Rect& out) {
    const int left = a.x > b.x ? a.x : b.x;
    const int top = a.y > b.y ? a.y : b.y;
    const int right = a.x + a.w < b.x + b.w ? a.x + a.w : b.x + b.w;
    const int bottom = a.y + a.h < b.y + b.h ? a.y + a.h : b.y + b.h;
    const bool empty = right <= left || bottom <= top;
    out = {static_cast<Sint16>(left), static_cast<Sint16>(top),
           static_cast<Uint16>(empty ? 0 : right - left),
           static_cast<Uint16>(empty ? 0 : bottom - top)};
    return !empty;
}

extern "C" {

SDL_Surface* SDL_CreateRGBSurface(Uint32 flags, int width, int height, int depth, Uint32 Rmask,
                                  Uint32 Gmask, Uint32 Bmask, Uint32 Amask) {
    if (depth == 32 && Rmask == 0 && Gmask == 0 && Bmask == 0) {
        Rmask = DisplayRedMask, Gmask = DisplayGreenMask, Bmask = DisplayBlueMask;
    }
    return makeSurface(flags, width, height, depth / 8, Rmask, Gmask, Bmask, Amask);
}

void SDL_FreeSurface(SDL_Surface* surface) {
    if (surface == nullptr || surface == screen || --surface->refcount > 0) {
        return; // the display surface lives as long as the page, as in SDL
    }
    std::free(surface->pixels);
    std::free(surface->format);
    std::free(surface);
}

Uint32 SDL_MapRGB(const SDL_PixelFormat* const format, const Uint8 r, const Uint8 g,
                  const Uint8 b) {
    // Classic SDL sets the alpha bits too: a mapped colour is opaque.
    return (r >> format->Rloss) << format->Rshift | (g >> format->Gloss) << format->Gshift |
           (b >> format->Bloss) << format->Bshift | format->Amask;
}

Uint32 SDL_MapRGBA(const SDL_PixelFormat* const format, const Uint8 r, const Uint8 g, const Uint8 b,
                   const Uint8 a) {
    return (r >> format->Rloss) << format->Rshift | (g >> format->Gloss) << format->Gshift |
           (b >> format->Bloss) << format->Bshift |
           ((static_cast<Uint32>(a) >> format->Aloss) << format->Ashift & format->Amask);
}

void SDL_GetRGBA(Uint32 pixel, const SDL_PixelFormat* const format, Uint8* r, Uint8* g, Uint8* b,
                 Uint8* a) {
    // A channel of fewer than 8 bits is widened by repeating its top bits, as SDL does.
    const auto widen = [pixel](Uint32 mask, Uint8 shift, Uint8 loss) {
        const Uint32 value = (pixel & mask) >> shift;
        return static_cast<Uint8>((value << loss) + (value >> (8 - (loss << 1))));
    };
    *r = widen(format->Rmask, format->Rshift, format->Rloss);
    *g = widen(format->Gmask, format->Gshift, format->Gloss);
    *b = widen(format->Bmask, format->Bshift, format->Bloss);
    *a = format->Amask != 0 ? widen(format->Amask, format->Ashift, format->Aloss)
                            : static_cast<Uint8>(SDL_ALPHA_OPAQUE);
}

void SDL_GetRGB(Uint32 pixel, const SDL_PixelFormat* const format, Uint8* r, Uint8* g, Uint8* b) {
    Uint8 ignored;
    SDL_GetRGBA(pixel, format, r, g, b, &ignored);
}

int SDL_SetColorKey(SDL_Surface* surface, Uint32 flag, Uint32 key) {
    if ((flag & SDL_SRCCOLORKEY) != 0) {
        surface->flags |= SDL_SRCCOLORKEY;
        surface->format->colorkey = key;
    } else {
        surface->flags &= ~SDL_SRCCOLORKEY;
        surface->format->colorkey = 0;
    }
    return 0;
}

// The clip rectangle, held to the surface as SDL holds it; none means the whole surface. True
// when something of the surface is left to draw on.
SDL_bool SDL_SetClipRect(SDL_Surface* surface, const SDL_Rect* rect) {
    if (surface == nullptr) {
        return SDL_FALSE;
    }
    if (rect == nullptr) {
        surface->clip_rect = {0, 0, static_cast<Uint16>(surface->w),
                              static_cast<Uint16>(surface->h)};
        return SDL_TRUE;
    }
    const SDL_Rect whole = {0, 0, static_cast<Uint16>(surface->w), static_cast<Uint16>(surface->h)};
    return intersectRects(*rect, whole, surface->clip_rect) ? SDL_TRUE : SDL_FALSE;
}

// The page's surfaces have no palette, so there is none to set: 0, as SDL answers then.
int SDL_SetColors(SDL_Surface* surface, SDL_Color* /*colours*/, int /*first*/, int /*count*/) {
    return surface != nullptr && surface->format->palette != nullptr ? 1 : 0;
}

// In the display's format without alpha; a colour key goes along, mapped anew.
SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface) {
    return convert(surface, 0, true);
}

// In the display's format with an alpha channel on top (the layout classic SDL picks for this
// display); colour-keyed pixels become transparent.
SDL_Surface* SDL_DisplayFormatAlpha(SDL_Surface* surface) {
    return convert(surface, 0xFF000000, false);
}

} // extern "C"
