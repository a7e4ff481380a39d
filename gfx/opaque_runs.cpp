// A colour-keyed picture drawn from its opaque runs, recorded once and copied each frame; the
// visible part of an alpha picture.
#include "gfx/opaque_runs.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "gfx/pixels.h"

namespace {

// The pixel as SDL's keyed blits compare it: without the alpha bits.
Uint32 keyedValue(const SDL_Surface* surface, int x, int y) {
    return getPixel(surface, x, y) & ~surface->format->Amask;
}

bool samePalette(const SDL_Palette* a, const SDL_Palette* b) {
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    return a->ncolors == b->ncolors &&
           std::memcmp(a->colors, b->colors, sizeof(SDL_Color) * a->ncolors) == 0;
}

// Raw copies give SDL's bytes only between surfaces of one format.
bool copiesRaw(const SDL_Surface* from, const SDL_Surface* to) {
    const SDL_PixelFormat* a = from->format;
    const SDL_PixelFormat* b = to->format;
    return a->BitsPerPixel == b->BitsPerPixel && a->BytesPerPixel == b->BytesPerPixel &&
           a->Rmask == b->Rmask && a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == 0 &&
           b->Amask == 0 && (a->BytesPerPixel != 1 || samePalette(a->palette, b->palette)) &&
           (from->flags & SDL_SRCALPHA) == 0 && !SDL_MUSTLOCK(to) && !SDL_MUSTLOCK(from);
}

} // namespace

std::vector<SDL_Rect> findOpaqueRuns(SDL_Surface* keyed) {
    std::vector<SDL_Rect> runs;
    if (keyed == nullptr || keyed->pixels == nullptr) {
        return runs;
    }
    const bool hasKey = (keyed->flags & SDL_SRCCOLORKEY) != 0;
    const Uint32 key = keyed->format->colorkey & ~keyed->format->Amask;
    for (int y = 0; y < keyed->h; ++y) {
        int x = 0;
        while (x < keyed->w) {
            while (hasKey && x < keyed->w && keyedValue(keyed, x, y) == key) {
                ++x;
            }
            const int start = x;
            while (x < keyed->w && !(hasKey && keyedValue(keyed, x, y) == key)) {
                ++x;
            }
            if (x > start) {
                runs.push_back({static_cast<Sint16>(start), static_cast<Sint16>(y),
                                static_cast<Uint16>(x - start), 1});
            }
        }
    }
    return runs;
}

void drawOpaqueRuns(SDL_Surface* keyed, const std::vector<SDL_Rect>& runs, SDL_Surface* target) {
    if (keyed == nullptr || target == nullptr) {
        return;
    }
    if (!copiesRaw(keyed, target)) {
        SDL_BlitSurface(keyed, nullptr, target, nullptr);
        return;
    }
    const SDL_Rect& clip = target->clip_rect;
    const int left = clip.x;
    const int top = clip.y;
    const int right = std::min(clip.x + clip.w, keyed->w);
    const int bottom = std::min(clip.y + clip.h, keyed->h);
    const int bytes = keyed->format->BytesPerPixel;
    const auto* from = static_cast<const Uint8*>(keyed->pixels);
    auto* to = static_cast<Uint8*>(target->pixels);
    for (const SDL_Rect& run : runs) {
        if (run.y < top || run.y >= bottom) {
            continue;
        }
        const int start = std::max<int>(run.x, left);
        const int end = std::min(run.x + run.w, right);
        if (end > start) {
            const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(start) * bytes;
            std::memcpy(to + static_cast<std::ptrdiff_t>(run.y) * target->pitch + at,
                        from + static_cast<std::ptrdiff_t>(run.y) * keyed->pitch + at,
                        static_cast<size_t>(end - start) * static_cast<size_t>(bytes));
        }
    }
}

SDL_Rect findVisibleBox(SDL_Surface* image, SDL_Rect cell) {
    if (image == nullptr) {
        return cell;
    }
    const int left = std::max<int>(cell.x, 0);
    const int top = std::max<int>(cell.y, 0);
    const int right = std::min(cell.x + cell.w, image->w);
    const int bottom = std::min(cell.y + cell.h, image->h);
    auto box = [](int x0, int y0, int x1, int y1) {
        return x1 > x0 && y1 > y0
                   ? SDL_Rect{static_cast<Sint16>(x0), static_cast<Sint16>(y0),
                              static_cast<Uint16>(x1 - x0), static_cast<Uint16>(y1 - y0)}
                   : SDL_Rect{static_cast<Sint16>(x0), static_cast<Sint16>(y0), 0, 0};
    };
    const Uint32 alpha = image->format->Amask;
    if (alpha == 0 || (image->flags & SDL_SRCALPHA) == 0 || (image->flags & SDL_SRCCOLORKEY) != 0 ||
        image->pixels == nullptr) {
        return box(left, top, right, bottom);
    }
    int seenLeft = right;
    int seenTop = bottom;
    int seenRight = left;
    int seenBottom = top;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if ((getPixel(image, x, y) & alpha) != 0) {
                seenLeft = std::min(seenLeft, x);
                seenRight = std::max(seenRight, x + 1);
                seenTop = std::min(seenTop, y);
                seenBottom = std::max(seenBottom, y + 1);
            }
        }
    }
    return box(seenLeft, seenTop, seenRight, seenBottom);
}
