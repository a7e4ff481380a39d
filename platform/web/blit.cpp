// Blits and fills on the page's plain-memory surfaces, with classic SDL 1.2's clipping, colour
// key and alpha blending, so the page draws the bytes the desktop draws.
#include <cstring>

#include "platform/web/surfaces.h"

namespace {

// Row y of a 32-bit surface, as pixel words.
inline Uint32* wordRow(const SDL_Surface* surface, int y) {
    return reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
}

// Classic SDL's blend of one 8-bit channel at alpha 1 to 254: the difference scaled by
// alpha / 256, rounded toward minus infinity.
inline Uint32 blendChannel(int source, int target, int alpha) {
    return static_cast<Uint32>(target + (((source - target) * alpha) >> 8));
}

// Per-pixel alpha between two 32-bit layouts with the same red, green and blue places: the
// game's font, buttons and cursor over the screen. The target's own alpha bits stay.
void blendSameLayout(const SDL_Surface* source, const SDL_Rect& from, SDL_Surface* target,
                     const SDL_Rect& to) {
    const Uint32 alphaMask = source->format->Amask;
    const int alphaShift = source->format->Ashift;
    for (int row = 0; row < from.h; ++row) {
        const Uint32* in = wordRow(source, from.y + row) + from.x;
        Uint32* out = wordRow(target, to.y + row) + to.x;
        for (int x = 0; x < from.w; ++x) {
            const Uint32 s = in[x];
            const int alpha = static_cast<int>((s & alphaMask) >> alphaShift);
            if (alpha == SDL_ALPHA_TRANSPARENT) {
                continue;
            }
            const Uint32 keep = out[x] & target->format->Amask;
            if (alpha == SDL_ALPHA_OPAQUE) {
                out[x] = (s & ~alphaMask) | keep;
                continue;
            }
            const Uint32 d = out[x];
            if (alphaMask == 0xFF000000u) {
                // Both outer channels in one word, as classic SDL does it; the same bytes as
                // blendChannel on each.
                const Uint32 outer = d & 0x00FF00FFu;
                const Uint32 middle = d & 0x0000FF00u;
                out[x] = ((outer + (((s & 0x00FF00FFu) - outer) * alpha >> 8)) & 0x00FF00FFu) |
                         ((middle + (((s & 0x0000FF00u) - middle) * alpha >> 8)) & 0x0000FF00u) |
                         keep;
                continue;
            }
            Uint32 blended = keep;
            for (int shift = 0; shift < 32; shift += 8) {
                if (((0xFFu << shift) & alphaMask) == 0) {
                    blended |= blendChannel(static_cast<int>((s >> shift) & 0xFF),
                                            static_cast<int>((d >> shift) & 0xFF), alpha)
                               << shift;
                }
            }
            out[x] = blended;
        }
    }
}

// Any other pair of formats, one pixel at a time through red, green, blue and alpha.
void blitEachPixel(const SDL_Surface* source, const SDL_Rect& from, SDL_Surface* target,
                   const SDL_Rect& to) {
    SDL_PixelFormat* in = source->format;
    SDL_PixelFormat* out = target->format;
    const bool blend = (source->flags & SDL_SRCALPHA) != 0 && in->Amask != 0;
    const bool keyed = !blend && (source->flags & SDL_SRCCOLORKEY) != 0;
    const Uint32 key = in->colorkey & ~in->Amask;
    for (int row = 0; row < from.h; ++row) {
        for (int x = 0; x < from.w; ++x) {
            const Uint32 raw = readRawPixel(source, from.x + x, from.y + row);
            if (keyed && (raw & ~in->Amask) == key) {
                continue;
            }
            Uint8 r, g, b, a;
            SDL_GetRGBA(raw, in, &r, &g, &b, &a);
            if (blend) {
                if (a == SDL_ALPHA_TRANSPARENT) {
                    continue;
                }
                Uint8 dr, dg, db, da;
                SDL_GetRGBA(readRawPixel(target, to.x + x, to.y + row), out, &dr, &dg, &db, &da);
                if (a != SDL_ALPHA_OPAQUE) {
                    r = static_cast<Uint8>(blendChannel(r, dr, a));
                    g = static_cast<Uint8>(blendChannel(g, dg, a));
                    b = static_cast<Uint8>(blendChannel(b, db, a));
                }
                a = da;
            }
            writeRawPixel(target, to.x + x, to.y + row, SDL_MapRGBA(out, r, g, b, a));
        }
    }
}

// The blit proper, on rectangles already clipped to both surfaces.
void blitClipped(SDL_Surface* source, const SDL_Rect& from, SDL_Surface* target,
                 const SDL_Rect& to) {
    const SDL_PixelFormat* in = source->format;
    const SDL_PixelFormat* out = target->format;
    const bool sameLayout = in->BytesPerPixel == 4 && out->BytesPerPixel == 4 &&
                            in->Rmask == out->Rmask && in->Gmask == out->Gmask &&
                            in->Bmask == out->Bmask;
    const bool blend = (source->flags & SDL_SRCALPHA) != 0 && in->Amask != 0;
    const bool keyed = (source->flags & SDL_SRCCOLORKEY) != 0;
    if (sameLayout && blend) {
        blendSameLayout(source, from, target, to);
    } else if (sameLayout && !keyed && in->Amask == out->Amask) {
        for (int row = 0; row < from.h; ++row) { // a straight copy: the backdrop's captures
            std::memcpy(wordRow(target, to.y + row) + to.x, wordRow(source, from.y + row) + from.x,
                        static_cast<size_t>(from.w) * 4);
        }
    } else if (sameLayout && keyed && in->Amask == 0 && out->Amask == 0) {
        for (int row = 0; row < from.h; ++row) { // the dashboard's keyed bands
            const Uint32* band = wordRow(source, from.y + row) + from.x;
            Uint32* onto = wordRow(target, to.y + row) + to.x;
            for (int x = 0; x < from.w; ++x) {
                if (band[x] != in->colorkey) {
                    onto[x] = band[x];
                }
            }
        }
    } else {
        blitEachPixel(source, from, target, to);
    }
}

} // namespace

extern "C" {

// Classic SDL's clipping: the source rectangle to the source, then the target rectangle to the
// target's clip rectangle; the target rectangle gets the part drawn.
int SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcrect, SDL_Surface* dst, SDL_Rect* dstrect) {
    if (src == nullptr || dst == nullptr) {
        return -1;
    }
    SDL_Rect whole = {0, 0, 0, 0};
    if (dstrect == nullptr) {
        dstrect = &whole;
    }
    int srcX = 0, srcY = 0, w = src->w, h = src->h;
    if (srcrect != nullptr) {
        srcX = srcrect->x, w = srcrect->w;
        if (srcX < 0) {
            w += srcX, dstrect->x = static_cast<Sint16>(dstrect->x - srcX), srcX = 0;
        }
        w = w < src->w - srcX ? w : src->w - srcX;
        srcY = srcrect->y, h = srcrect->h;
        if (srcY < 0) {
            h += srcY, dstrect->y = static_cast<Sint16>(dstrect->y - srcY), srcY = 0;
        }
        h = h < src->h - srcY ? h : src->h - srcY;
    }
    const SDL_Rect wanted = {dstrect->x, dstrect->y, static_cast<Uint16>(w > 0 ? w : 0),
                             static_cast<Uint16>(h > 0 ? h : 0)};
    SDL_Rect drawn;
    if (!intersectRects(wanted, dst->clip_rect, drawn)) {
        dstrect->w = dstrect->h = 0;
        return 0;
    }
    srcX += drawn.x - wanted.x, srcY += drawn.y - wanted.y;
    w = drawn.w, h = drawn.h;
    dstrect->x = drawn.x, dstrect->y = drawn.y;
    dstrect->w = static_cast<Uint16>(w), dstrect->h = static_cast<Uint16>(h);
    const SDL_Rect from = {static_cast<Sint16>(srcX), static_cast<Sint16>(srcY),
                           static_cast<Uint16>(w), static_cast<Uint16>(h)};
    blitClipped(src, from, dst, *dstrect);
    return 0;
}

// Clipped to the clip rectangle, which the rectangle given then holds, as in classic SDL.
int SDL_FillRect(SDL_Surface* dst, SDL_Rect* dstrect, Uint32 color) {
    if (dst == nullptr) {
        return -1;
    }
    SDL_Rect area = dst->clip_rect;
    if (dstrect != nullptr) {
        if (!intersectRects(*dstrect, dst->clip_rect, area)) {
            return 0;
        }
        *dstrect = area;
    }
    for (int y = area.y; y < area.y + area.h; ++y) {
        if (dst->format->BytesPerPixel == 4) {
            Uint32* row = wordRow(dst, y) + area.x;
            for (int x = 0; x < area.w; ++x) {
                row[x] = color;
            }
            continue;
        }
        for (int x = area.x; x < area.x + area.w; ++x) {
            writeRawPixel(dst, x, y, color);
        }
    }
    return 0;
}

} // extern "C"
