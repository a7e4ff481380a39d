// The dashboard's backdrop: capture, six-pass cross blur, brighten, and the per-frame fade. Both
// pictures are kept as three channel planes, row by row, so every loop walks memory in order.
//
// Surfaces are read and written a row at a time by the routines of their format's family, chosen
// once per surface when the backdrop is captured; the screen's choice is kept for the fade.
//
//   family      formats                                  read          write and blend
//   EightBit    4 bytes, three 8-bit channels            by shifts     one word per pixel
//   Packed16    2 bytes: 565, 555, 444                   16-bit lanes  16-bit lanes
//   Plain       3 bytes, other true colour of 2-4 bytes  SDL's table   pixel by pixel
//   ThroughSdl  palettised, or anything else             SDL_GetRGB    SDL_MapRGB per pixel
//
// The first two read by table too when SDL widens a field otherwise than by repeating its top
// bits (sdl12-compat rounds). The blend is SDL_MapRGB's packing without the alpha bits.
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

namespace {

constexpr int Width = BackdropWidth;
constexpr int Height = BackdropHeight;

using Planes = Uint8[3][BackdropPixels];

// The filtered, brightened picture and the raw capture, one plane per channel (0 red, 1 green,
// 2 blue), pixel (x, y) at y * 640 + x: what the blur and the fade walk.
Planes filteredPlanes;
Planes capturedPlanes;
Uint8 blurScratch[BackdropPixels];

// Where row y of a plane starts.
std::ptrdiff_t rowStart(int y) {
    return static_cast<std::ptrdiff_t>(y) * Width;
}

// The one blend: (p * t + q * (100 - t)) / 100, with rest = 100 - t. It never leaves 0..255, so
// it is worked in 16 bits.
inline Uint16 mixed(Uint8 p, Uint8 q, Uint16 weight, Uint16 rest) {
    return static_cast<Uint16>(static_cast<Uint16>(p * weight + q * rest) / 100);
}

// A channel's field widened to a byte by classic SDL's rule: moved to the top, its high bits
// repeated below, f << loss | f >> (8 - 2 loss).
template <typename Word> inline Uint8 widened(Word value, int shift, Word top, int loss) {
    const auto field = static_cast<Word>((value >> shift) & top);
    return static_cast<Uint8>(field << loss | field >> (8 - 2 * loss));
}

// How SDL_GetRGB widens each channel's field of a surface's format to a byte: a table of SDL's
// own answers, and whether they follow the rule above. Made once per surface and capture.
struct Widening {
    Uint8 table[3][256];
    bool repeatsTopBits;
};

Widening wideningOf(SDL_PixelFormat* format) {
    Widening widening = {};
    widening.repeatsTopBits = true;
    const Uint32 masks[3] = {format->Rmask, format->Gmask, format->Bmask};
    const int shifts[3] = {format->Rshift, format->Gshift, format->Bshift};
    const int losses[3] = {format->Rloss, format->Gloss, format->Bloss};
    for (int k = 0; k < 3; ++k) {
        const Uint32 top = masks[k] >> shifts[k];
        for (Uint32 field = 0; field <= top && field < 256; ++field) {
            Uint8 rgb[3];
            SDL_GetRGB(field << shifts[k], format, &rgb[0], &rgb[1], &rgb[2]);
            widening.table[k][field] = rgb[k];
            widening.repeatsTopBits = widening.repeatsTopBits && losses[k] >= 0 && losses[k] <= 4 &&
                                      top == 255u >> losses[k] &&
                                      rgb[k] == widened(field, 0, top, losses[k]);
        }
    }
    return widening;
}

// ---- The families' row routines ----

// Row y of a surface into three channel rows, each byte as SDL_GetRGB gives it.
using ReadRow = void (*)(const SDL_Surface* surface, int y, const Widening& widening, Uint8* red,
                         Uint8* green, Uint8* blue);
// Three channel rows into row y of a surface as SDL_MapRGB packs them, but with the given alpha
// bits: the format's own for the work surfaces, none for the fade.
using WriteRow = void (*)(SDL_Surface* surface, int y, const Uint8* red, const Uint8* green,
                          const Uint8* blue, Uint32 alpha);
// Row y of the fade at whole percent t of the two pictures into the screen, packed by loss and
// shift with no alpha bits.
using BlendRow = void (*)(SDL_Surface* screen, int y, int t);

struct RowRoutines {
    ReadRow read;
    WriteRow write;
    BlendRow blend;
};

// Three channel rows as words (channel >> loss) << shift, or-ed with alpha.
inline __attribute__((always_inline)) void
packWords(const Uint8* __restrict red, const Uint8* __restrict green, const Uint8* __restrict blue,
          const SDL_PixelFormat* format, Uint32 alpha, Uint32* __restrict values) {
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

// Plain: any true colour of 2 to 4 bytes, a pixel at a time; fields widened by SDL's table.
void readPlain(const SDL_Surface* surface, int y, const Widening& widening, Uint8* red,
               Uint8* green, Uint8* blue) {
    const SDL_PixelFormat* format = surface->format;
    const int bytes = format->BytesPerPixel;
    const Uint8* p = pixelRow(surface, y);
    for (int x = 0; x < Width; ++x, p += bytes) {
        const Uint32 value = loadPixel(p, bytes);
        red[x] = widening.table[0][(value & format->Rmask) >> format->Rshift];
        green[x] = widening.table[1][(value & format->Gmask) >> format->Gshift];
        blue[x] = widening.table[2][(value & format->Bmask) >> format->Bshift];
    }
}

GLIMM_WIDE_VECTORS
void writePlain(SDL_Surface* surface, int y, const Uint8* __restrict red,
                const Uint8* __restrict green, const Uint8* __restrict blue, Uint32 alpha) {
    const int bytes = surface->format->BytesPerPixel;
    Uint32 values[Width];
    packWords(red, green, blue, surface->format, alpha, values);
    Uint8* p = pixelRow(surface, y);
    for (int x = 0; x < Width; ++x, p += bytes) {
        storePixel(p, bytes, values[x]);
    }
}

// EightBit: a field of 8 bits is its own byte.
GLIMM_WIDE_VECTORS
void readEightBit(const SDL_Surface* surface, int y, const Widening& widening,
                  Uint8* __restrict red, Uint8* __restrict green, Uint8* __restrict blue) {
    if (!widening.repeatsTopBits) {
        readPlain(surface, y, widening, red, green, blue);
        return;
    }
    Uint32 values[Width];
    std::memcpy(values, pixelRow(surface, y), sizeof values);
    const int redShift = surface->format->Rshift;
    const int greenShift = surface->format->Gshift;
    const int blueShift = surface->format->Bshift;
    for (int x = 0; x < Width; ++x) {
        red[x] = static_cast<Uint8>(values[x] >> redShift);
        green[x] = static_cast<Uint8>(values[x] >> greenShift);
        blue[x] = static_cast<Uint8>(values[x] >> blueShift);
    }
}

GLIMM_WIDE_VECTORS
void writeEightBit(SDL_Surface* surface, int y, const Uint8* __restrict red,
                   const Uint8* __restrict green, const Uint8* __restrict blue, Uint32 alpha) {
    Uint32 values[Width];
    packWords(red, green, blue, surface->format, alpha, values);
    std::memcpy(pixelRow(surface, y), values, sizeof values);
}

GLIMM_WIDE_VECTORS
void blendEightBit(SDL_Surface* screen, int y, int t) {
    const std::ptrdiff_t row = rowStart(y);
    const auto weight = static_cast<Uint16>(t);
    const auto rest = static_cast<Uint16>(100 - t);
    const int redShift = screen->format->Rshift;
    const int greenShift = screen->format->Gshift;
    const int blueShift = screen->format->Bshift;
    Uint32 values[Width];
    for (int x = 0; x < Width; ++x) {
        const std::ptrdiff_t i = row + x;
        const Uint32 red = mixed(filteredPlanes[0][i], capturedPlanes[0][i], weight, rest);
        const Uint32 green = mixed(filteredPlanes[1][i], capturedPlanes[1][i], weight, rest);
        const Uint32 blue = mixed(filteredPlanes[2][i], capturedPlanes[2][i], weight, rest);
        values[x] = red << redShift | green << greenShift | blue << blueShift;
    }
    std::memcpy(pixelRow(screen, y), values, sizeof values);
}

// Packed16: everything in 16-bit lanes. Fields are moved into place by a multiply, which keeps
// the arithmetic in 16 bits, and added, as they do not overlap.
GLIMM_WIDE_VECTORS
void readPacked16(const SDL_Surface* surface, int y, const Widening& widening,
                  Uint8* __restrict red, Uint8* __restrict green, Uint8* __restrict blue) {
    const SDL_PixelFormat* format = surface->format;
    Uint16 values[Width];
    std::memcpy(values, pixelRow(surface, y), sizeof values);
    const int redShift = format->Rshift;
    const int greenShift = format->Gshift;
    const int blueShift = format->Bshift;
    const auto redTop = static_cast<Uint16>(format->Rmask >> redShift);
    const auto greenTop = static_cast<Uint16>(format->Gmask >> greenShift);
    const auto blueTop = static_cast<Uint16>(format->Bmask >> blueShift);
    if (!widening.repeatsTopBits) {
        for (int x = 0; x < Width; ++x) {
            red[x] = widening.table[0][(values[x] >> redShift) & redTop];
            green[x] = widening.table[1][(values[x] >> greenShift) & greenTop];
            blue[x] = widening.table[2][(values[x] >> blueShift) & blueTop];
        }
        return;
    }
    const int redLoss = format->Rloss;
    const int greenLoss = format->Gloss;
    const int blueLoss = format->Bloss;
    for (int x = 0; x < Width; ++x) {
        red[x] = widened(values[x], redShift, redTop, redLoss);
        green[x] = widened(values[x], greenShift, greenTop, greenLoss);
        blue[x] = widened(values[x], blueShift, blueTop, blueLoss);
    }
}

GLIMM_WIDE_VECTORS
void writePacked16(SDL_Surface* surface, int y, const Uint8* __restrict red,
                   const Uint8* __restrict green, const Uint8* __restrict blue, Uint32 alpha) {
    const SDL_PixelFormat* format = surface->format;
    const int redLoss = format->Rloss;
    const int greenLoss = format->Gloss;
    const int blueLoss = format->Bloss;
    const auto redPlace = static_cast<Uint16>(1u << format->Rshift);
    const auto greenPlace = static_cast<Uint16>(1u << format->Gshift);
    const auto bluePlace = static_cast<Uint16>(1u << format->Bshift);
    const auto alphaBits = static_cast<Uint16>(alpha);
    Uint16 values[Width];
    for (int x = 0; x < Width; ++x) {
        values[x] = static_cast<Uint16>(
            static_cast<Uint16>(static_cast<Uint16>((red[x] >> redLoss) * redPlace) +
                                static_cast<Uint16>((green[x] >> greenLoss) * greenPlace) +
                                static_cast<Uint16>((blue[x] >> blueLoss) * bluePlace)) |
            alphaBits);
    }
    std::memcpy(pixelRow(surface, y), values, sizeof values);
}

GLIMM_WIDE_VECTORS
void blendPacked16(SDL_Surface* screen, int y, int t) {
    const SDL_PixelFormat* format = screen->format;
    const std::ptrdiff_t row = rowStart(y);
    const auto weight = static_cast<Uint16>(t);
    const auto rest = static_cast<Uint16>(100 - t);
    const int redLoss = format->Rloss;
    const int greenLoss = format->Gloss;
    const int blueLoss = format->Bloss;
    const auto redPlace = static_cast<Uint16>(1u << format->Rshift);
    const auto greenPlace = static_cast<Uint16>(1u << format->Gshift);
    const auto bluePlace = static_cast<Uint16>(1u << format->Bshift);
    Uint16 values[Width];
    for (int x = 0; x < Width; ++x) {
        const std::ptrdiff_t i = row + x;
        const Uint16 red = mixed(filteredPlanes[0][i], capturedPlanes[0][i], weight, rest);
        const Uint16 green = mixed(filteredPlanes[1][i], capturedPlanes[1][i], weight, rest);
        const Uint16 blue = mixed(filteredPlanes[2][i], capturedPlanes[2][i], weight, rest);
        values[x] = static_cast<Uint16>(static_cast<Uint16>((red >> redLoss) * redPlace) +
                                        static_cast<Uint16>((green >> greenLoss) * greenPlace) +
                                        static_cast<Uint16>((blue >> blueLoss) * bluePlace));
    }
    std::memcpy(pixelRow(screen, y), values, sizeof values);
}

// ThroughSdl: SDL per pixel, so a palettised display maps through its palette.
void readThroughSdl(const SDL_Surface* surface, int y, const Widening& /*widening*/, Uint8* red,
                    Uint8* green, Uint8* blue) {
    for (int x = 0; x < Width; ++x) {
        SDL_GetRGB(getPixel(surface, x, y), surface->format, &red[x], &green[x], &blue[x]);
    }
}

// SDL_MapRGB sets the alpha bits of a format without palette; they are kept only if asked for.
void writeThroughSdl(SDL_Surface* surface, int y, const Uint8* red, const Uint8* green,
                     const Uint8* blue, Uint32 alpha) {
    const Uint32 keep = ~surface->format->Amask | alpha;
    for (int x = 0; x < Width; ++x) {
        putPixel(surface, x, y, SDL_MapRGB(surface->format, red[x], green[x], blue[x]) & keep);
    }
}

// One channel's row of the fade.
GLIMM_WIDE_VECTORS
void mixRow(const Uint8* __restrict p, const Uint8* __restrict q, int t, Uint8* __restrict out) {
    const auto weight = static_cast<Uint16>(t);
    const auto rest = static_cast<Uint16>(100 - t);
    for (int x = 0; x < Width; ++x) {
        out[x] = static_cast<Uint8>(mixed(p[x], q[x], weight, rest));
    }
}

// The fade's row for a family without a blend of its own: each channel mixed, then written.
template <WriteRow write> void mixThenWrite(SDL_Surface* screen, int y, int t) {
    Uint8 rows[3][Width];
    for (int k = 0; k < 3; ++k) {
        mixRow(filteredPlanes[k] + rowStart(y), capturedPlanes[k] + rowStart(y), t, rows[k]);
    }
    write(screen, y, rows[0], rows[1], rows[2], 0);
}

constexpr RowRoutines EightBit = {readEightBit, writeEightBit, blendEightBit};
constexpr RowRoutines Packed16 = {readPacked16, writePacked16, blendPacked16};
constexpr RowRoutines Plain = {readPlain, writePlain, mixThenWrite<writePlain>};
constexpr RowRoutines ThroughSdl = {readThroughSdl, writeThroughSdl, mixThenWrite<writeThroughSdl>};

// ---- Choosing the family ----

// True colour in 2 to 4 bytes per pixel with channels of up to 8 bits: what loss and shift pack.
bool packedTrueColour(const SDL_PixelFormat* format) {
    const int bytes = format->BytesPerPixel;
    return format->palette == nullptr && bytes >= 2 && bytes <= 4 &&
           (format->Rmask >> format->Rshift) <= 255 && (format->Gmask >> format->Gshift) <= 255 &&
           (format->Bmask >> format->Bshift) <= 255;
}

// Called once per surface by the capture, and by the fade only if the screen's format changed.
const RowRoutines& routinesFor(const SDL_PixelFormat* format) {
    if (!packedTrueColour(format)) {
        return ThroughSdl;
    }
    if (format->BytesPerPixel == 4 && format->Rloss == 0 && format->Gloss == 0 &&
        format->Bloss == 0) {
        return EightBit;
    }
    return format->BytesPerPixel == 2 ? Packed16 : Plain;
}

// The screen's family as chosen at the last capture, and the format it was chosen for.
const RowRoutines* screenRoutines = &ThroughSdl;
SDL_PixelFormat screenFormat = {};

void chooseScreenRoutines() {
    screenFormat = *screen->format;
    screenRoutines = &routinesFor(screen->format);
}

// Whether two formats lay their pixels out alike, so one family serves both.
bool sameLayout(const SDL_PixelFormat* a, const SDL_PixelFormat* b) {
    return a->BytesPerPixel == b->BytesPerPixel &&
           (a->palette == nullptr) == (b->palette == nullptr) && a->Rmask == b->Rmask &&
           a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == b->Amask;
}

// ---- Whole pictures ----

// Two true-colour surfaces with the same layout and the same bytes: they read alike.
bool samePicture(const SDL_Surface* a, const SDL_Surface* b) {
    return a == b ||
           (a->format->palette == nullptr && sameLayout(a->format, b->format) &&
            a->pitch == b->pitch &&
            std::memcmp(a->pixels, b->pixels, static_cast<size_t>(a->pitch) * Height) == 0);
}

void readPicture(const SDL_Surface* surface, const RowRoutines& routines, Planes& planes) {
    const Widening widening = wideningOf(surface->format);
    for (int y = 0; y < Height; ++y) {
        routines.read(surface, y, widening, planes[0] + rowStart(y), planes[1] + rowStart(y),
                      planes[2] + rowStart(y));
    }
}

// With the format's alpha bits set, as SDL_MapRGB sets them.
void writePicture(SDL_Surface* surface, const Planes& planes) {
    const WriteRow write = routinesFor(surface->format).write;
    for (int y = 0; y < Height; ++y) {
        write(surface, y, planes[0] + rowStart(y), planes[1] + rowStart(y), planes[2] + rowStart(y),
              surface->format->Amask);
    }
}

// The fade at whole percent t into the screen, by the routines chosen at the capture unless the
// screen has changed format since.
void fade(int t) {
    if (!sameLayout(screen->format, &screenFormat)) {
        chooseScreenRoutines();
    }
    const BlendRow blend = screenRoutines->blend;
    for (int y = 0; y < Height; ++y) {
        blend(screen, y, t);
    }
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
void blurPlane(Uint8* plane, Uint8* scratch) {
    std::memcpy(scratch, plane, BackdropPixels);
    crossAverage(plane, scratch, 3, 0);
    crossAverage(scratch, plane, 3, 1);
    for (int pass = 0; pass < 2; ++pass) {
        crossAverage(plane, scratch, 1, 0);
        crossAverage(scratch, plane, 1, 0);
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
    chooseScreenRoutines();
    readPicture(screen, *screenRoutines, filteredPlanes);
    // Without a capture surface the screen itself still holds the captured frame.
    SDL_Surface* captured = backdropCapture != nullptr ? backdropCapture : screen;
    if (samePicture(captured, screen)) {
        std::memcpy(capturedPlanes, filteredPlanes, sizeof capturedPlanes);
    } else {
        readPicture(captured, routinesFor(captured->format), capturedPlanes);
    }
    for (Uint8* plane : filteredPlanes) {
        blurPlane(plane, blurScratch);
        brighten(plane);
    }
    if (backdropFiltered != nullptr) {
        writePicture(backdropFiltered, filteredPlanes);
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
    // Fully open with no filtered surface: the fade at 100 draws the same picture.
    fade(static_cast<int>(fraction));
}

void updateDashboardBackdrop() {
    if (toggleDashboardOnEscape()) {
        captureBackdrop();
    }
    drawBackdrop(dashboardFraction);
    easeDashboard();
}
