// The dashboard's backdrop: capture, six-pass cross blur, brighten, and the per-frame fade. The
// work runs on one channel plane at a time, row by row, so each loop walks memory in order.
#include "dashboard/backdrop.h"

#include <cstddef>
#include <cstring>

#include "dashboard/media.h"
#include "dashboard/state.h"
#include "gfx/pixels.h"
#include "platform/display.h"

// The per-pixel loops are also built for AVX2 and AVX-512, chosen at load time by what the
// processor has.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define GLIMM_WIDE_VECTORS __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define GLIMM_WIDE_VECTORS
#endif

Uint8 filteredRgb[BackdropBytes];
Uint8 capturedRgb[BackdropBytes];

namespace {

constexpr int Width = BackdropWidth;
constexpr int Height = BackdropHeight;

// The two pictures one channel at a time, row by row (pixel (x, y) at y * 640 + x), as the blur
// and the fade walk them. On a display with byte lanes the raw picture skips this form.
Uint8 filteredPlanes[3][BackdropPixels];
Uint8 capturedPlanes[3][BackdropPixels];
Uint8 scratchPlane[BackdropPixels];
Uint8 zeroPlane[BackdropPixels];
// One picture's pixels as red | green << 8 | blue << 16, row by row, on their way to columns, or
// in a surface's own layout on their way into it.
Uint32 packedPixels[BackdropPixels];
// On a display whose channels are whole bytes of a 4-byte pixel: both pictures in its layout
// (no alpha), so the fade is one weighted mean per byte.
Uint32 filteredPixels[BackdropPixels];
Uint32 capturedPixels[BackdropPixels];

// A format this file converts itself: 2, 3 or 4 bytes of packed channels of up to 8 bits.
bool plainFormat(const SDL_PixelFormat* format) {
    const int bytes = format->BytesPerPixel;
    return format->palette == nullptr && bytes >= 2 && bytes <= 4 &&
           (format->Rmask >> format->Rshift) <= 255 && (format->Gmask >> format->Gshift) <= 255 &&
           (format->Bmask >> format->Bshift) <= 255;
}

// Where row y of a plane (or of a row-major pixel array) starts.
std::ptrdiff_t rowStart(int y) {
    return static_cast<std::ptrdiff_t>(y) * Width;
}

// Where row y of a surface's pixels starts.
Uint8* rowOf(SDL_Surface* surface, int y) {
    return static_cast<Uint8*>(surface->pixels) + static_cast<std::ptrdiff_t>(y) * surface->pitch;
}
const Uint8* rowOf(const SDL_Surface* surface, int y) {
    return static_cast<const Uint8*>(surface->pixels) +
           static_cast<std::ptrdiff_t>(y) * surface->pitch;
}

// Which byte of a 4-byte pixel each channel fills, for formats whose channels are whole bytes
// with no loss; false for any other.
bool byteLanes(const SDL_PixelFormat* format, int lanes[3]) {
    if (format->palette != nullptr || format->BytesPerPixel != 4) {
        return false;
    }
    const Uint32 masks[3] = {format->Rmask, format->Gmask, format->Bmask};
    const int shifts[3] = {format->Rshift, format->Gshift, format->Bshift};
    const int losses[3] = {format->Rloss, format->Gloss, format->Bloss};
    for (int k = 0; k < 3; ++k) {
        if (losses[k] != 0 || shifts[k] % 8 != 0 || masks[k] != 0xFFu << shifts[k]) {
            return false;
        }
        lanes[k] = shifts[k] / 8;
    }
    return true;
}

// Four planes as the four bytes of each pixel, lowest first.
GLIMM_WIDE_VECTORS
void packLanes(const Uint8* __restrict lane0, const Uint8* __restrict lane1,
               const Uint8* __restrict lane2, const Uint8* __restrict lane3,
               Uint32* __restrict packed) {
    for (int i = 0; i < BackdropPixels; ++i) {
        packed[i] = static_cast<Uint32>(lane0[i]) | static_cast<Uint32>(lane1[i]) << 8 |
                    static_cast<Uint32>(lane2[i]) << 16 | static_cast<Uint32>(lane3[i]) << 24;
    }
}

// The three planes as 4-byte pixels with channel k in byte lanes[k] and zero in the other.
void packInLanes(const Uint8 (*planes)[BackdropPixels], const int lanes[3], Uint32* packed) {
    const Uint8* byLane[4] = {zeroPlane, zeroPlane, zeroPlane, zeroPlane};
    for (int k = 0; k < 3; ++k) {
        byLane[lanes[k]] = planes[k];
    }
    packLanes(byLane[0], byLane[1], byLane[2], byLane[3], packed);
}

// One raw pixel of 2, 3 or 4 bytes.
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

// One row of raw values into a surface row of 4 or 3 bytes per pixel.
void storeRow(Uint8* target, const Uint32* values, int bytes) {
    if (bytes == 4) {
        std::memcpy(target, values, sizeof(Uint32) * Width);
    } else {
        Uint8* p = target;
        for (int x = 0; x < Width; ++x, p += 3) {
            p[0] = static_cast<Uint8>(values[x]);
            p[1] = static_cast<Uint8>(values[x] >> 8);
            p[2] = static_cast<Uint8>(values[x] >> 16);
        }
    }
}

// One row of channel bytes into raw values by loss and shift, with the given alpha bits.
GLIMM_WIDE_VECTORS
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

// One row of 4-byte pixels whose channels are whole bytes: the field is the value.
void splitBytes(const Uint8* __restrict row, Uint8* __restrict red, Uint8* __restrict green,
                Uint8* __restrict blue, int redShift, int greenShift, int blueShift) {
    Uint32 values[Width];
    std::memcpy(values, row, sizeof values);
    for (int x = 0; x < Width; ++x) {
        red[x] = static_cast<Uint8>(values[x] >> redShift);
        green[x] = static_cast<Uint8>(values[x] >> greenShift);
        blue[x] = static_cast<Uint8>(values[x] >> blueShift);
    }
}

// One row of 2-byte pixels whose fields SDL widens by repeating their top bits, in 16-bit lanes.
void splitHalves(const Uint8* __restrict row, Uint8* __restrict red, Uint8* __restrict green,
                 Uint8* __restrict blue, const SDL_PixelFormat* format) {
    Uint16 values[Width];
    std::memcpy(values, row, sizeof values);
    const int redShift = format->Rshift;
    const int greenShift = format->Gshift;
    const int blueShift = format->Bshift;
    const int redLoss = format->Rloss;
    const int greenLoss = format->Gloss;
    const int blueLoss = format->Bloss;
    const auto redTop = static_cast<Uint16>(255 >> redLoss);
    const auto greenTop = static_cast<Uint16>(255 >> greenLoss);
    const auto blueTop = static_cast<Uint16>(255 >> blueLoss);
    for (int x = 0; x < Width; ++x) {
        const auto r = static_cast<Uint16>((values[x] >> redShift) & redTop);
        const auto g = static_cast<Uint16>((values[x] >> greenShift) & greenTop);
        const auto b = static_cast<Uint16>((values[x] >> blueShift) & blueTop);
        red[x] = static_cast<Uint8>(r << redLoss | r >> (8 - 2 * redLoss));
        green[x] = static_cast<Uint8>(g << greenLoss | g >> (8 - 2 * greenLoss));
        blue[x] = static_cast<Uint8>(b << blueLoss | b >> (8 - 2 * blueLoss));
    }
}

// Splits a plain surface into the three planes. Each channel's field is widened to a byte by a
// table that SDL_GetRGB itself fills, so the bytes are SDL's own.
GLIMM_WIDE_VECTORS
void readPlain(SDL_Surface* surface, Uint8 (*planes)[BackdropPixels]) {
    SDL_PixelFormat* format = surface->format;
    const Uint32 masks[3] = {format->Rmask, format->Gmask, format->Bmask};
    const int shifts[3] = {format->Rshift, format->Gshift, format->Bshift};
    const int losses[3] = {format->Rloss, format->Gloss, format->Bloss};
    Uint8 widen[3][256] = {};
    bool sameBytes = format->BytesPerPixel == 4;
    // Whether SDL widens a field by repeating its top bits, (f << loss) | (f >> (8 - 2 loss)).
    bool repeatsBits = format->BytesPerPixel == 2;
    for (int k = 0; k < 3; ++k) {
        const Uint32 top = masks[k] >> shifts[k];
        for (Uint32 field = 0; field <= top; ++field) {
            Uint8 rgb[3];
            SDL_GetRGB(field << shifts[k], format, &rgb[0], &rgb[1], &rgb[2]);
            widen[k][field] = rgb[k];
            sameBytes = sameBytes && rgb[k] == field;
            repeatsBits =
                repeatsBits && losses[k] <= 4 &&
                rgb[k] == static_cast<Uint8>(field << losses[k] | field >> (8 - 2 * losses[k]));
        }
        sameBytes = sameBytes && top == 255;
        repeatsBits = repeatsBits && top == (255u >> losses[k]);
    }
    const int bytes = format->BytesPerPixel;
    for (int y = 0; y < Height; ++y) {
        const Uint8* row = rowOf(surface, y);
        Uint8* red = planes[0] + rowStart(y);
        Uint8* green = planes[1] + rowStart(y);
        Uint8* blue = planes[2] + rowStart(y);
        if (sameBytes) {
            splitBytes(row, red, green, blue, shifts[0], shifts[1], shifts[2]);
            continue;
        }
        if (repeatsBits) {
            splitHalves(row, red, green, blue, format);
            continue;
        }
        const Uint8* p = row;
        for (int x = 0; x < Width; ++x, p += bytes) {
            const Uint32 value = loadPixel(p, bytes);
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

// Four pixels, or sixteen bytes, in one vector register.
using Quad = Uint32 __attribute__((vector_size(16)));
using Bytes16 = Uint8 __attribute__((vector_size(16)));

// Four pixels of one column (rows y to y + 3) as twelve bytes red, green, blue, taken from
// bytes 0, 1, 2 of each word or, reversed, from bytes 2, 1, 0; the last four bytes are spare.
template <bool Reversed> inline __attribute__((always_inline)) Bytes16 columnBytes(Quad column) {
    const auto bytes = reinterpret_cast<Bytes16&>(column);
    if constexpr (Reversed) {
        return __builtin_shufflevector(bytes, bytes, 2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, 15, 15,
                                       15, 15);
    } else {
        return __builtin_shufflevector(bytes, bytes, 0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 15, 15,
                                       15, 15);
    }
}

// Blocks of 4 x 4 pixels are turned so each column's four pixels lie together, then stored as
// sixteen bytes of which the next store overwrites the spare four (the last block of a column
// stores only its twelve). Inlined, so it is built for its caller's vector instructions.
template <bool Reversed>
inline __attribute__((always_inline)) void walkColumns(const Uint32* pixels, Uint8* rgb) {
    for (int x0 = 0; x0 < Width; x0 += 4) {
        for (int y0 = 0; y0 < Height; y0 += 4) {
            Quad rows[4];
            for (int j = 0; j < 4; ++j) {
                std::memcpy(&rows[j], pixels + rowStart(y0 + j) + x0, sizeof(Quad));
            }
            const Quad low01 = __builtin_shufflevector(rows[0], rows[1], 0, 4, 1, 5);
            const Quad high01 = __builtin_shufflevector(rows[0], rows[1], 2, 6, 3, 7);
            const Quad low23 = __builtin_shufflevector(rows[2], rows[3], 0, 4, 1, 5);
            const Quad high23 = __builtin_shufflevector(rows[2], rows[3], 2, 6, 3, 7);
            const Quad columns[4] = {__builtin_shufflevector(low01, low23, 0, 1, 4, 5),
                                     __builtin_shufflevector(low01, low23, 2, 3, 6, 7),
                                     __builtin_shufflevector(high01, high23, 0, 1, 4, 5),
                                     __builtin_shufflevector(high01, high23, 2, 3, 6, 7)};
            const bool lastBlock = y0 + 4 == Height;
            for (int i = 0; i < 4; ++i) {
                const Bytes16 bytes = columnBytes<Reversed>(columns[i]);
                Uint8* out = rgb + (static_cast<std::ptrdiff_t>(x0 + i) * Height + y0) * 3;
                if (lastBlock) {
                    std::memcpy(out, &bytes, 12);
                } else {
                    std::memcpy(out, &bytes, 16);
                }
            }
        }
    }
}

// Pixels whose channels sit in the given byte lanes, column by column, into one of the design's
// arrays.
GLIMM_WIDE_VECTORS
void columnsFromPixels(const Uint32* pixels, const int lanes[3], Uint8* rgb) {
    const bool straight = lanes[0] == 0 && lanes[1] == 1 && lanes[2] == 2;
    const bool reversed = lanes[0] == 2 && lanes[1] == 1 && lanes[2] == 0;
    const bool littleEndian = SDL_BYTEORDER == SDL_LIL_ENDIAN;
    if (!littleEndian || (!straight && !reversed)) {
        // Any other order, or a machine that stores words the other way: byte by byte.
        for (int x = 0; x < Width; ++x) {
            for (int y = 0; y < Height; ++y) {
                const Uint32 value = pixels[y * Width + x];
                for (int k = 0; k < 3; ++k) {
                    rgb[(x * Height + y) * 3 + k] = static_cast<Uint8>(value >> (8 * lanes[k]));
                }
            }
        }
        return;
    }
    if (reversed) {
        walkColumns<true>(pixels, rgb);
    } else {
        walkColumns<false>(pixels, rgb);
    }
}

// The planes, column by column, into one of the design's arrays.
void columnsFromPlanes(const Uint8 (*planes)[BackdropPixels], Uint8* rgb) {
    const int lanes[3] = {0, 1, 2};
    packInLanes(planes, lanes, packedPixels);
    columnsFromPixels(packedPixels, lanes, rgb);
}

// A surface's pixels in the display's byte lanes, keeping only the channel bits.
GLIMM_WIDE_VECTORS
void channelBits(const SDL_Surface* surface, Uint32* __restrict pixels) {
    const Uint32 mask = surface->format->Rmask | surface->format->Gmask | surface->format->Bmask;
    for (int y = 0; y < Height; ++y) {
        Uint32 row[Width];
        std::memcpy(row, rowOf(surface, y), sizeof row);
        for (int x = 0; x < Width; ++x) {
            pixels[y * Width + x] = row[x] & mask;
        }
    }
}

// Two surfaces of the same true-colour format and the same bytes: they read alike.
bool sameSurface(const SDL_Surface* a, const SDL_Surface* b) {
    if (a == b) {
        return true;
    }
    const SDL_PixelFormat* f = a->format;
    const SDL_PixelFormat* g = b->format;
    return f->palette == nullptr && g->palette == nullptr && f->BytesPerPixel == g->BytesPerPixel &&
           f->Rmask == g->Rmask && f->Gmask == g->Gmask && f->Bmask == g->Bmask &&
           f->Rshift == g->Rshift && f->Gshift == g->Gshift && f->Bshift == g->Bshift &&
           f->Rloss == g->Rloss && f->Gloss == g->Gloss && f->Bloss == g->Bloss &&
           a->pitch == b->pitch &&
           std::memcmp(a->pixels, b->pixels, static_cast<size_t>(a->pitch) * Height) == 0;
}

bool sameLanes(const int a[3], const int b[3]) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// Lifts a channel by 50, then down 100 and up 100 again, clamping each time: the backdrop never
// gets darker than 100.
GLIMM_WIDE_VECTORS
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

// One row of the fade into a 2-byte surface with the given alpha bits, mixing and packing in
// 16-bit lanes throughout; the fields are moved into place by a multiply, which keeps the
// arithmetic in 16 bits, and added as they do not overlap. At weight 100 it packs p alone.
GLIMM_WIDE_VECTORS
void blendRow16(const Uint8* __restrict redP, const Uint8* __restrict greenP,
                const Uint8* __restrict blueP, const Uint8* __restrict redQ,
                const Uint8* __restrict greenQ, const Uint8* __restrict blueQ, Uint16 weight,
                Uint16 rest, const SDL_PixelFormat* format, Uint32 alpha,
                Uint8* __restrict target) {
    const int redLoss = format->Rloss;
    const int greenLoss = format->Gloss;
    const int blueLoss = format->Bloss;
    const auto redPlace = static_cast<Uint16>(1u << format->Rshift);
    const auto greenPlace = static_cast<Uint16>(1u << format->Gshift);
    const auto bluePlace = static_cast<Uint16>(1u << format->Bshift);
    const auto alphaBits = static_cast<Uint16>(alpha);
    Uint16 values[Width];
    for (int x = 0; x < Width; ++x) {
        const auto red =
            static_cast<Uint16>(static_cast<Uint16>(redP[x] * weight + redQ[x] * rest) / 100);
        const auto green =
            static_cast<Uint16>(static_cast<Uint16>(greenP[x] * weight + greenQ[x] * rest) / 100);
        const auto blue =
            static_cast<Uint16>(static_cast<Uint16>(blueP[x] * weight + blueQ[x] * rest) / 100);
        values[x] = static_cast<Uint16>(
            static_cast<Uint16>(static_cast<Uint16>((red >> redLoss) * redPlace) +
                                static_cast<Uint16>((green >> greenLoss) * greenPlace) +
                                static_cast<Uint16>((blue >> blueLoss) * bluePlace)) |
            alphaBits);
    }
    std::memcpy(target, values, sizeof values);
}

// One row of packed pixels into a surface row with the format's alpha bits set.
void addAlpha(const Uint32* packed, Uint32 alpha, Uint8* target) {
    Uint32 values[Width];
    for (int x = 0; x < Width; ++x) {
        values[x] = packed[x] | alpha;
    }
    std::memcpy(target, values, sizeof values);
}

// Writes the planes into a surface as SDL_MapRGB would: shifts for plain formats (alpha bits
// set, as SDL sets them), SDL per pixel for others.
GLIMM_WIDE_VECTORS
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
    int lanes[3];
    if (byteLanes(format, lanes)) {
        packInLanes(planes, lanes, packedPixels);
        for (int y = 0; y < Height; ++y) {
            addAlpha(packedPixels + rowStart(y), format->Amask, rowOf(surface, y));
        }
        return;
    }
    Uint32 values[Width];
    for (int y = 0; y < Height; ++y) {
        const int row = y * Width;
        if (format->BytesPerPixel == 2) {
            const Uint8* red = planes[0] + row;
            const Uint8* green = planes[1] + row;
            const Uint8* blue = planes[2] + row;
            blendRow16(red, green, blue, red, green, blue, 100, 0, format, format->Amask,
                       rowOf(surface, y));
            continue;
        }
        packRow(planes[0] + row, planes[1] + row, planes[2] + row, format, format->Amask, values);
        storeRow(rowOf(surface, y), values, format->BytesPerPixel);
    }
}

// The fade at whole percent t: (p * t + q * (100 - t)) / 100 per channel, which never leaves
// 0..255. Packed by loss and shift with no alpha on a true-colour display, through the palette
// on a palettised one.
GLIMM_WIDE_VECTORS
void blendBytes(const Uint8* __restrict p, const Uint8* __restrict q, Uint16 weight, Uint16 rest,
                Uint8* __restrict out) {
    for (int i = 0; i < Width * 4; ++i) {
        out[i] = static_cast<Uint8>(static_cast<Uint16>(p[i] * weight + q[i] * rest) / 100);
    }
}

GLIMM_WIDE_VECTORS
void blendBackdrop(int t) {
    SDL_PixelFormat* format = screen->format;
    const auto weight = static_cast<Uint16>(t);
    const auto rest = static_cast<Uint16>(100 - t);
    int lanes[3];
    if (byteLanes(format, lanes)) {
        // Both pictures are already in the display's layout, zero in the unused byte.
        for (int y = 0; y < Height; ++y) {
            blendBytes(reinterpret_cast<const Uint8*>(filteredPixels + rowStart(y)),
                       reinterpret_cast<const Uint8*>(capturedPixels + rowStart(y)), weight, rest,
                       rowOf(screen, y));
        }
        return;
    }
    if (format->BytesPerPixel == 2 && plainFormat(format)) {
        for (int y = 0; y < Height; ++y) {
            const int row = y * Width;
            blendRow16(filteredPlanes[0] + row, filteredPlanes[1] + row, filteredPlanes[2] + row,
                       capturedPlanes[0] + row, capturedPlanes[1] + row, capturedPlanes[2] + row,
                       weight, rest, format, 0, rowOf(screen, y));
        }
        return;
    }
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
        storeRow(rowOf(screen, y), values, format->BytesPerPixel);
    }
}

// Half the sum of two bytes, rounded down, and the bit that rounding dropped.
inline Uint8 halfDown(Uint8 a, Uint8 b) {
    return static_cast<Uint8>((a & b) + ((a ^ b) >> 1));
}
inline Uint8 droppedBit(Uint8 a, Uint8 b) {
    return static_cast<Uint8>((a ^ b) & 1);
}

// A whole row of one blur pass, in byte arithmetic: (a + b + c + d + bias) / 4 is the rounded-
// down half of the two pair halves, plus one when their sum is odd and the dropped bits carry
// (both of them, or with the bias either).
GLIMM_WIDE_VECTORS
void averageRow(const Uint8* __restrict left, const Uint8* __restrict right,
                const Uint8* __restrict above, const Uint8* __restrict below, Uint8* __restrict out,
                Uint8 bias) {
    for (int x = 0; x < Width; ++x) {
        const Uint8 across = halfDown(left[x], right[x]);
        const Uint8 upDown = halfDown(above[x], below[x]);
        const Uint8 acrossBit = droppedBit(left[x], right[x]);
        const Uint8 upDownBit = droppedBit(above[x], below[x]);
        const auto carry =
            static_cast<Uint8>(bias != 0 ? (acrossBit | upDownBit) : (acrossBit & upDownBit));
        out[x] =
            static_cast<Uint8>(halfDown(across, upDown) + (carry & droppedBit(across, upDown)));
    }
}

} // namespace

// Each row is averaged whole, its first and last d pixels taking taps from the neighbouring
// rows' ends, and those 2d pixels are then put back as they were.
GLIMM_WIDE_VECTORS
void crossAverage(const Uint8* source, Uint8* destination, int d, int bias) {
    Uint8 edges[2][3];
    for (int y = d; y < Height - d; ++y) {
        const Uint8* row = source + rowStart(y);
        Uint8* out = destination + rowStart(y);
        std::memcpy(edges[0], out, static_cast<size_t>(d));
        std::memcpy(edges[1], out + Width - d, static_cast<size_t>(d));
        averageRow(row - d, row + d, row - rowStart(d), row + rowStart(d), out,
                   static_cast<Uint8>(bias));
        std::memcpy(out, edges[0], static_cast<size_t>(d));
        std::memcpy(out + Width - d, edges[1], static_cast<size_t>(d));
    }
}

void captureBackdrop() {
    if (backdropCapture != nullptr) {
        SDL_UpperBlit(screen, nullptr, backdropCapture, nullptr);
    }
    // Without a capture surface the screen itself still holds the captured frame.
    SDL_Surface* captured = backdropCapture != nullptr ? backdropCapture : screen;
    int lanes[3];
    int capturedLanes[3];
    const bool inLanes = byteLanes(screen->format, lanes);
    // On a display with byte lanes the raw picture goes straight into its layout.
    const bool rawInLanes =
        inLanes && byteLanes(captured->format, capturedLanes) && sameLanes(lanes, capturedLanes);
    readPlanes(screen, filteredPlanes);
    if (rawInLanes) {
        channelBits(captured, capturedPixels);
    } else if (sameSurface(captured, screen)) {
        std::memcpy(capturedPlanes, filteredPlanes, sizeof capturedPlanes);
    } else {
        readPlanes(captured, capturedPlanes);
    }
    for (Uint8* plane : filteredPlanes) {
        blurPlane(plane);
        brighten(plane);
    }
    if (inLanes) {
        packInLanes(filteredPlanes, lanes, filteredPixels);
        if (!rawInLanes) {
            packInLanes(capturedPlanes, lanes, capturedPixels);
        }
    }
    int filteredLanes[3];
    if (backdropFiltered != nullptr) {
        if (inLanes && byteLanes(backdropFiltered->format, filteredLanes) &&
            sameLanes(lanes, filteredLanes)) {
            for (int y = 0; y < Height; ++y) {
                addAlpha(filteredPixels + rowStart(y), backdropFiltered->format->Amask,
                         rowOf(backdropFiltered, y));
            }
        } else {
            writePlanes(backdropFiltered, filteredPlanes);
        }
    }
    if (inLanes) {
        columnsFromPixels(filteredPixels, lanes, filteredRgb);
    } else {
        columnsFromPlanes(filteredPlanes, filteredRgb);
    }
    if (rawInLanes) {
        columnsFromPixels(capturedPixels, lanes, capturedRgb);
    } else {
        columnsFromPlanes(capturedPlanes, capturedRgb);
    }
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
