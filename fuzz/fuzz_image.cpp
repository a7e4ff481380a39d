// Fuzzes the image path of the game: any bytes decoded from memory as the image loaders do,
// converted to the display format both ways, and drawn by every routine that draws an image.
#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <zlib.h>

#include "dashboard/controller.h"
#include "dashboard/media.h"
#include "dashboard/state.h"
#include "game/hud.h"
#include "gfx/image.h"
#include "gfx/opaque_runs.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/frame_clock.h"

namespace {

Uint8 focused() {
    return SDL_APPMOUSEFOCUS | SDL_APPINPUTFOCUS | SDL_APPACTIVE;
}

long decodedImages = 0;

void reportDecoded() {
    std::fprintf(stderr, "fuzz_image: %ld inputs decoded and drawn\n", decodedImages);
}

// Mutations nearly always break a chunk's CRC, which the decoder then refuses; with the CRCs
// made right again the mutated chunk data reaches the decoder and the drawing behind it.
std::vector<std::uint8_t> withFixedCrcs(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> fixed(data, data + size);
    std::size_t at = 8;
    while (size >= at + 12) {
        const std::size_t length = static_cast<std::size_t>(fixed[at]) << 24 |
                                   static_cast<std::size_t>(fixed[at + 1]) << 16 |
                                   static_cast<std::size_t>(fixed[at + 2]) << 8 | fixed[at + 3];
        if (length > size - at - 12) {
            break;
        }
        const uLong crc = crc32(0, &fixed[at + 4], static_cast<uInt>(length + 4));
        for (int i = 0; i < 4; ++i) {
            fixed[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        }
        at += 12 + length;
    }
    return fixed;
}

void release(SDL_Surface*& surface) {
    SDL_FreeSurface(surface);
    surface = nullptr;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Init(SDL_INIT_VIDEO);
    openDisplay(32);
    // The work surfaces and cell tables; no media folder is needed.
    loadFont();
    loadDashboardMedia();
    queryAppState = focused;
    std::atexit(reportDecoded);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SDL_Surface* loaded = decodePngImage(data, size);
    if (loaded == nullptr) {
        const std::vector<std::uint8_t> fixed = withFixedCrcs(data, size);
        loaded = decodePngImage(fixed.data(), fixed.size());
    }
    if (loaded == nullptr) {
        return 0;
    }
    ++decodedImages;
    // Every handle takes the same picture, whatever its size: the drawing must cope.
    fontImage = alphaDisplayCopy(loaded);
    tintedFontImage = alphaDisplayCopy(loaded);
    buttonImage = alphaDisplayCopy(loaded);
    cursorImage = alphaDisplayCopy(loaded);
    borderImage = keyedDisplayCopy(loaded);
    borderRuns = findOpaqueRuns(borderImage);
    topBottomBorderImage = keyedDisplayCopy(loaded);
    SDL_FreeSurface(loaded);

    fontTinted = false;
    prepareScoreFont();
    drawScoreLines();
    for (int align = 0; align <= 3; ++align) {
        drawText(screen, 320, 200,
                 " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                 "abcdefghijklmnopqrstuvwxyz{|}~\x7f\x80\xff",
                 align);
    }
    // One frame of the fully open dashboard: backdrop, buttons, bands, clock, cursor, border.
    dashboardOpen = true;
    dashboardFraction = 100.0;
    runDashboardFrame();

    release(fontImage);
    release(tintedFontImage);
    release(buttonImage);
    release(cursorImage);
    release(borderImage);
    release(topBottomBorderImage);
    return 0;
}
