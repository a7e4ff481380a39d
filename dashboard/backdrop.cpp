// The dashboard's backdrop: capture, six-pass cross blur, brighten, and the per-frame fade.
#include "dashboard/backdrop.h"

#include <cstring>

#include "app/display.h"
#include "dashboard/controller.h"
#include "dashboard/media.h"
#include "gfx/pixels.h"

Uint8 filteredRgb[BackdropBytes];
Uint8 capturedRgb[BackdropBytes];

namespace {

constexpr int Width = 640;
constexpr int Height = 480;

int indexOf(int x, int y) {
    return (x * Height + y) * 3;
}

Uint8 clampByte(int value) {
    if (value < 0) {
        return 0;
    }
    return static_cast<Uint8>(value > 255 ? 255 : value);
}

// Reads every pixel of a surface, column by column, into one of the arrays.
void readSurface(SDL_Surface* surface, Uint8* rgb) {
    for (int x = 0; x < Width; ++x) {
        for (int y = 0; y < Height; ++y) {
            Uint8* p = rgb + indexOf(x, y);
            SDL_GetRGB(getPixel(surface, x, y), surface->format, &p[0], &p[1], &p[2]);
        }
    }
}

// Lifts every channel by 50, then down 100 and up 100 again, clamping each time: the backdrop
// never gets darker than 100.
void brighten(Uint8* rgb) {
    for (int i = 0; i < BackdropBytes; ++i) {
        rgb[i] = clampByte(clampByte(clampByte(rgb[i] + 50) - 100) + 100);
    }
}

// Packs a colour into a raw pixel of the display: by loss and shift where the format is true
// colour, through the palette where it has one.
Uint32 packColour(const SDL_PixelFormat* format, Uint8 red, Uint8 green, Uint8 blue) {
    if (format->palette != nullptr) {
        return SDL_MapRGB(const_cast<SDL_PixelFormat*>(format), red, green, blue);
    }
    return static_cast<Uint32>(red >> format->Rloss) << format->Rshift |
           static_cast<Uint32>(green >> format->Gloss) << format->Gshift |
           static_cast<Uint32>(blue >> format->Bloss) << format->Bshift;
}

void blendBackdrop(int t) {
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const Uint8* p = filteredRgb + indexOf(x, y);
            const Uint8* q = capturedRgb + indexOf(x, y);
            Uint8 mixed[3];
            for (int k = 0; k < 3; ++k) {
                mixed[k] = clampByte((p[k] * t + q[k] * (100 - t)) / 100);
            }
            putPixel(screen, x, y, packColour(screen->format, mixed[0], mixed[1], mixed[2]));
        }
    }
}

} // namespace

void crossAverage(const Uint8* source, Uint8* destination, int d, int bias) {
    const int step = d * BackdropColumnBytes;
    for (int x = d; x < Width - d; ++x) {
        for (int y = d; y < Height - d; ++y) {
            const int at = indexOf(x, y);
            for (int k = 0; k < 3; ++k) {
                const int i = at + k;
                const int sum =
                    source[i - step] + source[i + step] + source[i - 3 * d] + source[i + 3 * d];
                destination[i] = static_cast<Uint8>((sum + bias) / 4);
            }
        }
    }
}

void captureBackdrop() {
    if (backdropCapture != nullptr) {
        SDL_UpperBlit(screen, nullptr, backdropCapture, nullptr);
    }
    readSurface(screen, filteredRgb);
    std::memcpy(capturedRgb, filteredRgb, sizeof capturedRgb);
    crossAverage(filteredRgb, capturedRgb, 3, 0);
    crossAverage(capturedRgb, filteredRgb, 3, 1);
    for (int pass = 0; pass < 2; ++pass) {
        crossAverage(filteredRgb, capturedRgb, 1, 0);
        crossAverage(capturedRgb, filteredRgb, 1, 0);
    }
    brighten(filteredRgb);
    if (backdropFiltered != nullptr) {
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                const Uint8* p = filteredRgb + indexOf(x, y);
                putPixel(backdropFiltered, x, y,
                         SDL_MapRGB(backdropFiltered->format, p[0], p[1], p[2]));
            }
        }
    }
    // Without a capture surface the screen itself still holds the captured frame.
    readSurface(backdropCapture != nullptr ? backdropCapture : screen, capturedRgb);
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
