// The dashboard's backdrop: capture, six-pass cross blur, brighten, and the per-frame fade. The
// work runs on one channel plane at a time, row by row, so each loop walks memory in order.
#include "dashboard/backdrop.h"

#include <cstring>

#include "app/display.h"
#include "dashboard/controller.h"
#include "dashboard/media.h"
#include "gfx/pixels.h"

Uint8 filteredRgb[BackdropBytes];
Uint8 capturedRgb[BackdropBytes];
Uint8 filteredPlanes[3][BackdropPixels];
Uint8 capturedPlanes[3][BackdropPixels];

namespace {

constexpr int Width = BackdropWidth;
constexpr int Height = BackdropHeight;
constexpr int Lanes = 16; // bytes the blur handles in one go

Uint8 scratchPlane[BackdropPixels];

// A format this file converts itself: 2, 3 or 4 bytes of packed channels of up to 8 bits.
bool plainFormat(const SDL_PixelFormat* format) {
    const int bytes = format->BytesPerPixel;
    return format->palette == nullptr && bytes >= 2 && bytes <= 4 &&
           (format->Rmask >> format->Rshift) <= 255 && (format->Gmask >> format->Gshift) <= 255 &&
           (format->Bmask >> format->Bshift) <= 255;
}

Uint32 loadPixel(const Uint8* p, int bytes) {
    Uint32 value = 0;
    if (bytes == 3) {
        return static_cast<Uint32>(p[0]) | static_cast<Uint32>(p[1]) << 8 |
               static_cast<Uint32>(p[2]) << 16;
    }
    if (bytes == 2) {
        Uint16 half = 0;
        std::memcpy(&half, p, 2);
        return half;
    }
    std::memcpy(&value, p, 4);
    return value;
}

void storeRow(Uint8* target, const Uint32* values, int bytes) {
    if (bytes == 4) {
        std::memcpy(target, values, Width * 4);
    } else if (bytes == 2) {
        for (int x = 0; x < Width; ++x) {
            const auto half = static_cast<Uint16>(values[x]);
            std::memcpy(target + 2 * x, &half, 2);
        }
    } else {
        for (int x = 0; x < Width; ++x) {
            target[3 * x] = static_cast<Uint8>(values[x]);
            target[3 * x + 1] = static_cast<Uint8>(values[x] >> 8);
            target[3 * x + 2] = static_cast<Uint8>(values[x] >> 16);
        }
    }
}

// One row of channel bytes into raw values by loss and shift, with the given alpha bits.
void packRow(const Uint8* __restrict red, const Uint8* __restrict green,
             const Uint8* __restrict blue, const SDL_PixelFormat* format, Uint32 alpha,
             Uint32* __restrict values) {
    const int redLoss = format->Rloss;
    const int greenLoss = format->Gloss;
    const int blueLoss = format->Bloss;
    const int redShift = format->Rshift;
    const int greenShift = format->Gshift;
    const int blueShift = format->Bshift;
    for (int x = 0; x < Width; ++x) {
        values[x] = static_cast<Uint32>(red[x] >> redLoss) << redShift |
                    static_cast<Uint32>(green[x] >> greenLoss) << greenShift |
                    static_cast<Uint32>(blue[x] >> blueLoss) << blueShift | alpha;
    }
}

// Splits a plain surface into the three planes. Each channel's field is widened to a byte by a
// table that SDL_GetRGB itself fills, so the bytes are SDL's own.
void readPlain(SDL_Surface* surface, Uint8 (*planes)[BackdropPixels]) {
    SDL_PixelFormat* format = surface->format;
    const Uint32 masks[3] = {format->Rmask, format->Gmask, format->Bmask};
    const int shifts[3] = {format->Rshift, format->Gshift, format->Bshift};
    Uint8 widen[3][256] = {};
    bool sameBytes = format->BytesPerPixel == 4;
    for (int k = 0; k < 3; ++k) {
        const Uint32 top = masks[k] >> shifts[k];
        for (Uint32 field = 0; field <= top; ++field) {
            Uint8 rgb[3];
            SDL_GetRGB(field << shifts[k], format, &rgb[0], &rgb[1], &rgb[2]);
            widen[k][field] = rgb[k];
            sameBytes = sameBytes && rgb[k] == field;
        }
        sameBytes = sameBytes && top == 255;
    }
    const int bytes = format->BytesPerPixel;
    for (int y = 0; y < Height; ++y) {
        const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        Uint8* red = planes[0] + y * Width;
        Uint8* green = planes[1] + y * Width;
        Uint8* blue = planes[2] + y * Width;
        if (sameBytes) {
            // Whole bytes per channel: the field is the value.
            for (int x = 0; x < Width; ++x) {
                Uint32 value = 0;
                std::memcpy(&value, row + 4 * x, 4);
                red[x] = static_cast<Uint8>(value >> shifts[0]);
                green[x] = static_cast<Uint8>(value >> shifts[1]);
                blue[x] = static_cast<Uint8>(value >> shifts[2]);
            }
            continue;
        }
        for (int x = 0; x < Width; ++x) {
            const Uint32 value = loadPixel(row + bytes * x, bytes);
            red[x] = widen[0][(value & masks[0]) >> shifts[0]];
            green[x] = widen[1][(value & masks[1]) >> shifts[1]];
            blue[x] = widen[2][(value & masks[2]) >> shifts[2]];
        }
    }
}

// Any surface into the three planes: plain formats directly, others through SDL per pixel.
void readPlanes(SDL_Surface* surface, Uint8 (*planes)[BackdropPixels]) {
    if (plainFormat(surface->format)) {
        readPlain(surface, planes);
        return;
    }
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const int i = y * Width + x;
            SDL_GetRGB(getPixel(surface, x, y), surface->format, &planes[0][i], &planes[1][i],
                       &planes[2][i]);
        }
    }
}

// The planes, column by column and channel by channel, into one of the design's arrays.
void interleaveColumns(const Uint8 (*planes)[BackdropPixels], Uint8* rgb) {
    for (int x0 = 0; x0 < Width; x0 += Lanes) {
        for (int y = 0; y < Height; ++y) {
            for (int k = 0; k < 3; ++k) {
                const Uint8* from = planes[k] + y * Width + x0;
                Uint8* to = rgb + (x0 * Height + y) * 3 + k;
                for (int i = 0; i < Lanes; ++i) {
                    to[i * Height * 3] = from[i];
                }
            }
        }
    }
}

// Lifts a channel by 50, then down 100 and up 100 again, clamping each time: the backdrop never
// gets darker than 100.
void brighten(Uint8* plane) {
    for (int i = 0; i < BackdropPixels; ++i) {
        const int lifted = plane[i] + 50;
        plane[i] = static_cast<Uint8>(lifted > 255 ? 255 : (lifted < 100 ? 100 : lifted));
    }
}

// Six passes, ping-ponging between the plane and a scratch copy of it; only the second rounds.
void blurPlane(Uint8* plane) {
    std::memcpy(scratchPlane, plane, BackdropPixels);
    crossAverage(plane, scratchPlane, 3, 0);
    crossAverage(scratchPlane, plane, 3, 1);
    for (int pass = 0; pass < 2; ++pass) {
        crossAverage(plane, scratchPlane, 1, 0);
        crossAverage(scratchPlane, plane, 1, 0);
    }
}

// Writes the planes into a surface as SDL_MapRGB would: shifts for plain formats (alpha bits
// set, as SDL sets them), SDL per pixel for others.
void writePlanes(SDL_Surface* surface, const Uint8 (*planes)[BackdropPixels]) {
    SDL_PixelFormat* format = surface->format;
    if (!plainFormat(format)) {
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                const int i = y * Width + x;
                putPixel(surface, x, y,
                         SDL_MapRGB(format, planes[0][i], planes[1][i], planes[2][i]));
            }
        }
        return;
    }
    Uint32 values[Width];
    for (int y = 0; y < Height; ++y) {
        const int row = y * Width;
        for (int x = 0; x < Width; ++x) {
            values[x] = static_cast<Uint32>(planes[0][row + x] >> format->Rloss) << format->Rshift |
                        static_cast<Uint32>(planes[1][row + x] >> format->Gloss) << format->Gshift |
                        static_cast<Uint32>(planes[2][row + x] >> format->Bloss) << format->Bshift |
                        format->Amask;
        }
        storeRow(static_cast<Uint8*>(surface->pixels) + y * surface->pitch, values,
                 format->BytesPerPixel);
    }
}

// The fade at whole percent t: (p * t + q * (100 - t)) / 100 per channel, which never leaves
// 0..255. Packed by loss and shift with no alpha on a true-colour display, through the palette
// on a palettised one.
void blendBackdrop(int t) {
    SDL_PixelFormat* format = screen->format;
    const auto weight = static_cast<Uint16>(t);
    const auto rest = static_cast<Uint16>(100 - t);
    Uint8 mixed[3][Width];
    Uint32 values[Width];
    const bool plain = plainFormat(format);
    for (int y = 0; y < Height; ++y) {
        const int row = y * Width;
        for (int k = 0; k < 3; ++k) {
            const Uint8* p = filteredPlanes[k] + row;
            const Uint8* q = capturedPlanes[k] + row;
            for (int x = 0; x < Width; ++x) {
                mixed[k][x] =
                    static_cast<Uint8>(static_cast<Uint16>(p[x] * weight + q[x] * rest) / 100);
            }
        }
        if (!plain) {
            for (int x = 0; x < Width; ++x) {
                putPixel(screen, x, y, SDL_MapRGB(format, mixed[0][x], mixed[1][x], mixed[2][x]));
            }
            continue;
        }
        packRow(mixed[0], mixed[1], mixed[2], format, 0, values);
        storeRow(static_cast<Uint8*>(screen->pixels) + y * screen->pitch, values,
                 format->BytesPerPixel);
    }
}

// Sixteen pixels of one blur pass: the mean of their four taps, rounded up by the bias.
void averageRun(const Uint8* __restrict left, const Uint8* __restrict right,
                const Uint8* __restrict above, const Uint8* __restrict below, Uint8* __restrict out,
                int bias) {
    for (int i = 0; i < Lanes; ++i) {
        out[i] = static_cast<Uint8>((left[i] + right[i] + above[i] + below[i] + bias) >> 2);
    }
}

} // namespace

void crossAverage(const Uint8* source, Uint8* destination, int d, int bias) {
    const int end = Width - d;
    for (int y = d; y < Height - d; ++y) {
        const Uint8* row = source + y * Width;
        // Whole runs of 16; the last run steps back to end at the range's edge.
        for (int x = d; x < end; x += Lanes) {
            const int at = x + Lanes <= end ? x : end - Lanes;
            averageRun(row + at - d, row + at + d, row + at - d * Width, row + at + d * Width,
                       destination + y * Width + at, bias);
        }
    }
}

void captureBackdrop() {
    if (backdropCapture != nullptr) {
        SDL_UpperBlit(screen, nullptr, backdropCapture, nullptr);
    }
    readPlanes(screen, filteredPlanes);
    for (Uint8* plane : filteredPlanes) {
        blurPlane(plane);
        brighten(plane);
    }
    if (backdropFiltered != nullptr) {
        writePlanes(backdropFiltered, filteredPlanes);
    }
    // Without a capture surface the screen itself still holds the captured frame.
    readPlanes(backdropCapture != nullptr ? backdropCapture : screen, capturedPlanes);
    interleaveColumns(filteredPlanes, filteredRgb);
    interleaveColumns(capturedPlanes, capturedRgb);
}

void drawBackdrop(double fraction) {
    if (fraction == 0.0) {
        return;
    }
    if (fraction == 100.0 && backdropFiltered != nullptr) {
        SDL_UpperBlit(backdropFiltered, nullptr, screen, nullptr);
        return;
    }
    // Fully open with no filtered surface: the blend at 100 draws the same picture.
    blendBackdrop(static_cast<int>(fraction));
}

void updateDashboardBackdrop() {
    if (toggleDashboardOnEscape()) {
        captureBackdrop();
    }
    drawBackdrop(dashboardFraction);
    easeDashboard();
}
