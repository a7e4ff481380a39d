// The drawing layer: the hole bound, the colour key, the border's opaque runs, drawings kept as
// pictures, the font tint, and the PNG check in front of the decoder.
#include <gtest/gtest.h>

#include <SDL_image.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "gfx/drawing_picture.h"
#include "gfx/image.h"
#include "gfx/opaque_runs.h"
#include "gfx/pixels.h"
#include "gfx/shapes.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "support/headless.h"

// The bound by which the scene skips walls never claims more than the hole, nor 2 columns less.
TEST(Shapes, TheHoleBoundNeverClaimsMoreThanTheHole) {
    std::vector<int> table(HoleBoundRadius + 1);
    for (int r = 1; r <= HoleBoundRadius; ++r) {
        holeHalfWidths(r, r, table.data());
        int narrowest = table[0];
        for (int dyMax = 0; dyMax < r; ++dyMax) {
            narrowest = std::min(narrowest, table[dyMax]);
            ASSERT_FALSE(holeHolds(r, narrowest + 1, dyMax)) << r << " " << dyMax;
            ASSERT_TRUE(narrowest < 2 || holeHolds(r, narrowest - 2, dyMax)) << r << " " << dyMax;
        }
    }
}

// Cyan is see-through in a keyed image; the tint paints its own sheet, keeping the plain's alpha.
TEST(Media, CyanIsKeyedOutAndTheTintPaintsItsOwnSheet) {
    ASSERT_TRUE(startInScratchFolder());
    SDL_Surface* picture = SDL_CreateRGBSurface(0, 2, 1, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000);
    putPixel(picture, 0, 0, 0xFFFFFF00), putPixel(picture, 1, 0, 0xFF0000FF); // cyan, red
    SDL_FillRect(screen, nullptr, 0);
    SDL_BlitSurface(keyedDisplayCopy(picture), nullptr, screen, nullptr);
    EXPECT_EQ(getPixel(screen, 0, 0), 0u);
    EXPECT_EQ(getPixel(screen, 1, 0), SDL_MapRGB(screen->format, 255, 0, 0));
    ASSERT_TRUE(fontImage != nullptr && tintedFontImage != nullptr);
    const auto* pixels = static_cast<const Uint8*>(fontImage->pixels);
    const std::vector<Uint8> plain(pixels, pixels + fontImage->pitch * fontImage->h);
    tintFont(SDL_MapRGB(fontImage->format, 150, 100, 200));
    for (int i = 0; i < fontImage->w * fontImage->h; ++i) {
        Uint8 r, g, b, a;
        SDL_GetRGBA(getPixel(fontImage, i % fontImage->w, i / fontImage->w), fontImage->format, &r,
                    &g, &b, &a);
        ASSERT_EQ(getPixel(tintedFontImage, i % fontImage->w, i / fontImage->w),
                  SDL_MapRGBA(tintedFontImage->format, 150, 100, 200, a))
            << i;
    }
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), pixels)) << "the plain sheet was tinted";
}

void putBigEndian(std::vector<Uint8>& data, size_t at, Uint32 value) {
    for (int i = 0; i < 4; ++i) {
        data[at + static_cast<size_t>(i)] = static_cast<Uint8>(value >> (24 - 8 * i));
    }
}

// Rows: passed ("+") or refused, a change to a whole PNG; then cut-short copies, too big a file.
TEST(PngCheck, OnlyWholePngFilesOfAcceptedSizeReachTheDecoder) {
    enterScratchFolder(false);
    const std::string whole = readWhole(GLIMM_MEDIA_DIR "/Lumadeck/TopBottomBorder.png");
    const std::vector<Uint8> png(whole.begin(), whole.end());
    const std::pair<const char*, std::function<void(std::vector<Uint8>&)>> rows[] = {
        {"+whole", [](auto&) {}},
        {"-a chunk longer than the file", [](auto& d) { putBigEndian(d, 8, 0x7FFFFFF0); }},
        {"-4097 x 4096", [](auto& d) { putBigEndian(d, 16, 4097), putBigEndian(d, 20, 4096); }},
        {"+4096 x 4096", [](auto& d) { putBigEndian(d, 16, 4096), putBigEndian(d, 20, 4096); }},
        {"-overflowing size", [](auto& d) { putBigEndian(d, 16, ~0u), putBigEndian(d, 20, ~0u); }},
        {"-first chunk not IHDR", [](auto& d) { d[12] = 'X'; }},
        {"-no IEND", [](auto& d) { d[d.size() - 8] = 'X'; }}};
    for (const auto& [what, change] : rows) {
        std::vector<Uint8> data = png;
        change(data);
        EXPECT_EQ(isCompletePng(data.data(), data.size()), *what == '+') << what;
    }
    for (size_t size = 0; size < png.size(); ++size) {
        ASSERT_FALSE(isCompletePng(png.data(), size)) << size;
    }
    writeWhole("big.png", whole);
    std::filesystem::resize_file("big.png", PngFileMaxBytes + 1);
    EXPECT_EQ(readPngImage("big.png"), nullptr);
}

// Copying the opaque runs gives SDL's own keyed blit byte for byte at every depth, clipped or not:
// for a picture with single pixels and runs at the row ends, a fully opaque and a fully keyed
// row, near-cyan pixels (which 16 bits cannot tell from the key), and for the game's border.
class OpaqueRuns : public ::testing::TestWithParam<int> {};
TEST_P(OpaqueRuns, CopyingTheRunsGivesSdlsKeyedBlit) {
    ASSERT_TRUE(startInScratchFolder(false, GetParam()));
    SDL_Surface* own = SDL_CreateRGBSurface(SDL_SWSURFACE, 24, 6, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int i = 0, x = 0, y = 0; i < 24 * 6; ++i, x = i % 24, y = i / 24) {
        const bool opaque = (y == 0 && (x == 0 || x >= 20)) || y == 1 || (y == 3 && x % 2 == 1) ||
                            (y == 5 && x > 6 && x < 15);
        static_cast<Uint32*>(own->pixels)[i] = opaque
                                                   ? 0x9E3779B9u * Uint32(i + 1) >> 8
                                                   : (y == 4 && x % 3 == 0 ? 0x00FCFD : 0x00FFFF);
    }
    for (SDL_Surface* picture : {own, IMG_Load(GLIMM_MEDIA_DIR "/Lumadeck/Border.png")}) {
        SDL_Surface* keyed = SDL_DisplayFormat(picture);
        SDL_SetColorKey(keyed, SDL_SRCCOLORKEY, SDL_MapRGB(keyed->format, 0, 255, 255));
        for (SDL_Rect clip : {SDL_Rect{0, 0, 640, 480}, SDL_Rect{3, 1, 13, 3}}) {
            SDL_Surface* both[2] = {SDL_DisplayFormat(screen), SDL_DisplayFormat(screen)};
            for (SDL_Surface* target : both) {
                for (int b = 0; b < target->pitch * target->h; ++b) {
                    static_cast<Uint8*>(target->pixels)[b] = static_cast<Uint8>(b * 131 >> 3);
                }
                SDL_SetClipRect(target, &clip);
            }
            SDL_BlitSurface(keyed, nullptr, both[0], nullptr);
            drawOpaqueRuns(keyed, findOpaqueRuns(keyed), both[1]);
            EXPECT_TRUE(bytesOf(both[0]) == bytesOf(both[1])) << clip.w;
        }
    }
}
INSTANTIATE_TEST_SUITE_P(Depths, OpaqueRuns, ::testing::Values(8, 16, 24, 32));

// Two overlapping copies of a patch holding every alpha from 0 to 255, drawn directly and through
// a picture, each over the same ground of random colours; between frames some rows of it change.
// Every byte agrees, also under a clip inside the area (the last frames).
SDL_Surface* alphaPatch = nullptr;
void drawPatches(SDL_Surface* target, const void* /*what*/) {
    for (Sint16 x : {100, 140}) {
        SDL_Rect at = {x, 200, 0, 0};
        SDL_BlitSurface(alphaPatch, nullptr, target, &at);
    }
}
class KeptDrawing : public ::testing::TestWithParam<int> {};
TEST_P(KeptDrawing, LeavesTheDrawingsBytesOverAnyGround) {
    ASSERT_TRUE(startInScratchFolder(false, GetParam()));
    SDL_Surface* patch = SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, 64, 16, 32, 0x000000FF,
                                              0x0000FF00, 0x00FF0000, 0xFF000000);
    for (int i = 0; i < 64 * 16; ++i) {
        static_cast<Uint32*>(patch->pixels)[i] = Uint32(i & 255) << 24 | (i * 0x9E3779B9u >> 8);
    }
    alphaPatch = SDL_DisplayFormatAlpha(patch);
    std::mt19937 random(GetParam());
    std::vector<Uint32> ground(104 * 16);
    DrawingPicture picture;
    for (int frame = 0; frame < 40; ++frame) {
        for (int i = 0; i < 104 * 16; ++i) {
            const bool fresh = frame == 0 || (i / 104 + frame) % 5 == 0;
            ground[i] =
                fresh ? SDL_MapRGB(screen->format, random(), random(), random()) : ground[i];
        }
        SDL_Rect clip = {110, 203, 50, 5};
        SDL_SetClipRect(screen, frame < 36 ? nullptr : &clip);
        std::vector<Uint8> frames[2];
        for (int kept = 0; kept < 2; ++kept) {
            for (int i = 0; i < 104 * 16; ++i) {
                putPixel(screen, 100 + i % 104, 200 + i / 104, ground[i]);
            }
            kept != 0
                ? drawThroughPicture(picture, screen, {100, 200, 104, 16}, drawPatches, nullptr)
                : drawPatches(screen, nullptr);
            frames[kept] = bytesOf();
        }
        ASSERT_TRUE(frames[0] == frames[1]) << frame;
    }
    EXPECT_TRUE(picture.made);
}
INSTANTIATE_TEST_SUITE_P(Depths, KeptDrawing, ::testing::Values(8, 16, 24, 32));
