// A drawing kept as a picture of what it leaves on the screen, split by what each pixel owes to
// the ground beneath it: nothing, everything, or something.
#include "gfx/drawing_picture.h"

#include <algorithm>
#include <cstring>

#include "gfx/pixels.h"

namespace {

// Black and white are the far ends of every channel: a blend gives each channel a result that
// never falls as the ground's rises, so a pixel that comes out the same on both comes out the
// same on all. A third, mixed ground guards against a palette that ties channels together.
constexpr int GroundCount = 3;
constexpr Uint8 Grounds[GroundCount][3] = {{0, 0, 0}, {255, 255, 255}, {128, 64, 192}};

bool sameFormat(const DrawingPicture& picture, const SDL_PixelFormat* format) {
    if (format->BitsPerPixel != picture.bitsPerPixel || format->Rmask != picture.masks[0] ||
        format->Gmask != picture.masks[1] || format->Bmask != picture.masks[2] ||
        format->Amask != picture.masks[3]) {
        return false;
    }
    const SDL_Palette* palette = format->palette;
    if (palette == nullptr) {
        return picture.palette.empty();
    }
    return static_cast<size_t>(palette->ncolors) == picture.palette.size() &&
           std::memcmp(palette->colors, picture.palette.data(),
                       sizeof(SDL_Color) * picture.palette.size()) == 0;
}

void keepFormat(DrawingPicture& picture, const SDL_PixelFormat* format) {
    picture.bitsPerPixel = format->BitsPerPixel;
    picture.masks[0] = format->Rmask;
    picture.masks[1] = format->Gmask;
    picture.masks[2] = format->Bmask;
    picture.masks[3] = format->Amask;
    picture.palette.clear();
    if (format->palette != nullptr) {
        picture.palette.assign(format->palette->colors,
                               format->palette->colors + format->palette->ncolors);
    }
}

Uint8* pixelAt(SDL_Surface* surface, int x, int y) {
    return pixelRow(surface, y) + static_cast<std::ptrdiff_t>(x) * surface->format->BytesPerPixel;
}

// Runs draw on a scratch surface of the target's size and format, clipped to the area, once
// over each ground; shots[g] gets the area's pixels, row after row. False when no scratch could
// be had.
bool shootOverGrounds(const SDL_Surface* target, const SDL_Rect& area, DrawRoutine draw,
                      const void* what, std::vector<Uint8> (&shots)[GroundCount]) {
    const SDL_PixelFormat* format = target->format;
    SDL_Surface* scratch =
        SDL_CreateRGBSurface(SDL_SWSURFACE, target->w, target->h, format->BitsPerPixel,
                             format->Rmask, format->Gmask, format->Bmask, format->Amask);
    if (scratch == nullptr) {
        return false;
    }
    if (format->palette != nullptr) {
        SDL_SetColors(scratch, format->palette->colors, 0, format->palette->ncolors);
    }
    SDL_Rect clip = area;
    SDL_SetClipRect(scratch, &clip);
    const size_t rowBytes = static_cast<size_t>(area.w) * format->BytesPerPixel;
    for (int g = 0; g < GroundCount; ++g) {
        SDL_FillRect(scratch, &clip,
                     SDL_MapRGB(target->format, Grounds[g][0], Grounds[g][1], Grounds[g][2]));
        draw(scratch, what);
        shots[g].resize(rowBytes * area.h);
        for (int row = 0; row < area.h; ++row) {
            std::memcpy(&shots[g][static_cast<size_t>(row) * rowBytes],
                        pixelAt(scratch, area.x, area.y + row), rowBytes);
        }
    }
    SDL_FreeSurface(scratch);
    return true;
}

// What the drawing does to one pixel: 0 leaves it, 1 covers it, 2 blends with it.
Uint8 pixelKind(const std::vector<Uint8> (&shots)[GroundCount],
                const Uint8 (&grounds)[GroundCount][4], size_t at, int bytes) {
    bool left = true;
    bool same = true;
    for (int g = 0; g < GroundCount; ++g) {
        left = left && std::memcmp(&shots[g][at], grounds[g], bytes) == 0;
        same = same && std::memcmp(&shots[g][at], &shots[0][at], bytes) == 0;
    }
    return left ? 0 : same ? 1 : 2;
}

void makePicture(DrawingPicture& picture, SDL_Surface* target, const SDL_Rect& area,
                 DrawRoutine draw, const void* what) {
    picture.made = false;
    picture.stretches.clear();
    picture.bytes.clear();
    std::vector<Uint8> shots[GroundCount];
    if (!shootOverGrounds(target, area, draw, what, shots)) {
        return;
    }
    const int bytes = target->format->BytesPerPixel;
    Uint8 grounds[GroundCount][4] = {};
    for (int g = 0; g < GroundCount; ++g) {
        storePixel(grounds[g], bytes,
                   SDL_MapRGB(target->format, Grounds[g][0], Grounds[g][1], Grounds[g][2]));
    }
    const size_t width = area.w;
    std::vector<Uint8> kinds(width * area.h);
    for (size_t i = 0; i < kinds.size(); ++i) {
        kinds[i] = pixelKind(shots, grounds, i * bytes, bytes);
    }
    for (int row = 0; row < area.h; ++row) {
        const size_t rowStart = static_cast<size_t>(row) * width;
        for (size_t x = 0, end = 0; x < width; x = end) {
            const Uint8 kind = kinds[rowStart + x];
            for (end = x + 1; end < width && kinds[rowStart + end] == kind;) {
                ++end;
            }
            if (kind == 0) {
                continue;
            }
            picture.stretches.push_back(
                {static_cast<Sint16>(area.x + x), static_cast<Sint16>(area.y + row),
                 static_cast<Uint16>(end - x), kind == 2, false, picture.bytes.size()});
            // A blended stretch starts out knowing what the black ground gave.
            for (size_t i = x; kind == 2 && i < end; ++i) {
                picture.bytes.insert(picture.bytes.end(), grounds[0], grounds[0] + bytes);
            }
            const Uint8* shot = &shots[0][(rowStart + x) * bytes];
            picture.bytes.insert(picture.bytes.end(), shot, shot + (end - x) * bytes);
        }
    }
    picture.area = area;
    keepFormat(picture, target->format);
    picture.changedFrom.assign(static_cast<size_t>(area.h), 0);
    picture.changedTo.assign(static_cast<size_t>(area.h), 0);
    picture.made = true;
}

bool clipHolds(const SDL_Surface* target, const SDL_Rect& area) {
    const SDL_Rect& clip = target->clip_rect;
    return clip.x <= area.x && clip.y <= area.y && clip.x + clip.w >= area.x + area.w &&
           clip.y + clip.h >= area.y + area.h;
}

// Draws where the ground changed the slow way: each run of such rows under one clip, across the
// columns that changed in any of them.
void redrawChangedRows(DrawingPicture& picture, SDL_Surface* target, DrawRoutine draw,
                       const void* what) {
    const SDL_Rect& area = picture.area;
    SDL_Rect kept = target->clip_rect;
    for (int row = 0; row < area.h;) {
        int from = picture.changedFrom[row];
        int to = picture.changedTo[row];
        if (from >= to) {
            ++row;
            continue;
        }
        int end = row + 1;
        for (; end < area.h && picture.changedFrom[end] < picture.changedTo[end]; ++end) {
            from = std::min(from, picture.changedFrom[end]);
            to = std::max(to, picture.changedTo[end]);
        }
        SDL_Rect band = {static_cast<Sint16>(from), static_cast<Sint16>(area.y + row),
                         static_cast<Uint16>(to - from), static_cast<Uint16>(end - row)};
        SDL_SetClipRect(target, &band);
        draw(target, what);
        picture.redrawnRows += end - row;
        row = end;
    }
    SDL_SetClipRect(target, &kept);
}

} // namespace

void forgetPicture(DrawingPicture& picture) {
    picture.made = false;
}

void drawThroughPicture(DrawingPicture& picture, SDL_Surface* target, SDL_Rect area,
                        DrawRoutine draw, const void* what) {
    if (target == nullptr) {
        return;
    }
    const int left = std::max<int>(area.x, 0);
    const int top = std::max<int>(area.y, 0);
    const int right = std::min(area.x + area.w, target->w);
    const int bottom = std::min(area.y + area.h, target->h);
    if (right <= left || bottom <= top) {
        return;
    }
    area = {static_cast<Sint16>(left), static_cast<Sint16>(top), static_cast<Uint16>(right - left),
            static_cast<Uint16>(bottom - top)};
    picture.redrawnRows = 0;
    if (target->pixels == nullptr || SDL_MUSTLOCK(target) || !clipHolds(target, area)) {
        draw(target, what);
        picture.redrawnRows = area.h;
        return;
    }
    if (!picture.made || std::memcmp(&picture.area, &area, sizeof area) != 0 ||
        !sameFormat(picture, target->format)) {
        makePicture(picture, target, area, draw, what);
        if (!picture.made) {
            draw(target, what);
            picture.redrawnRows = area.h;
            return;
        }
    }
    // First only look: where a blended stretch has a new ground, which is kept for next time, its
    // row is drawn the slow way across it.
    const int bytes = target->format->BytesPerPixel;
    const int pitch = target->pitch;
    Uint8* const pixels = static_cast<Uint8*>(target->pixels);
    Uint8* const kept = picture.bytes.data();
    std::fill(picture.changedFrom.begin(), picture.changedFrom.end(), area.x + area.w);
    std::fill(picture.changedTo.begin(), picture.changedTo.end(), area.x);
    bool anyChanged = false;
    for (PictureStretch& stretch : picture.stretches) {
        const size_t length = static_cast<size_t>(stretch.w) * bytes;
        const Uint8* ground = pixels + stretch.y * pitch + stretch.x * bytes;
        stretch.changed = stretch.blended && std::memcmp(kept + stretch.bytes, ground, length) != 0;
        if (stretch.changed) {
            std::memcpy(kept + stretch.bytes, ground, length);
            const int row = stretch.y - area.y;
            picture.changedFrom[row] = std::min<int>(picture.changedFrom[row], stretch.x);
            picture.changedTo[row] = std::max(picture.changedTo[row], stretch.x + stretch.w);
            anyChanged = true;
        }
    }
    if (anyChanged) {
        redrawChangedRows(picture, target, draw, what);
    }
    // Then copy the rest in, and keep what the slow way made of the new grounds. Whatever else it
    // redrew has the same ground, so it made the same bytes as those copied.
    for (const PictureStretch& stretch : picture.stretches) {
        const size_t length = static_cast<size_t>(stretch.w) * bytes;
        Uint8* const at = pixels + stretch.y * pitch + stretch.x * bytes;
        if (stretch.changed) {
            std::memcpy(kept + stretch.bytes + length, at, length);
        } else {
            std::memcpy(at, kept + stretch.bytes + (stretch.blended ? length : 0), length);
        }
    }
}
