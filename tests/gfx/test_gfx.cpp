// The drawing layer: the hole bound, the colour key, the border's opaque runs, the font tint, the
// PNG check in front of the decoder, and a drawing kept as a picture under a clip (the game's
// scene test holds the pictures to the painter's scene everywhere else).
#include <gtest/gtest.h>

#include <SDL_image.h>

#include <algorithm>
#include <filesystem>
#include <functional>
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
    const std::vector<Uint8> plain = bytesOf(fontImage);
    tintFont(SDL_MapRGB(fontImage->format, 150, 100, 200));
    for (int i = 0; i < fontImage->w * fontImage->h; ++i) {
        Uint8 r, g, b, a;
        SDL_GetRGBA(getPixel(fontImage, i % fontImage->w, i / fontImage->w), fontImage->format, &r,
                    &g, &b, &a);
        ASSERT_EQ(getPixel(tintedFontImage, i % fontImage->w, i / fontImage->w),
                  SDL_MapRGBA(tintedFontImage->format, 150, 100, 200, a))
            << i;
    }
    EXPECT_TRUE(bytesOf(fontImage) == plain) << "the plain sheet was tinted";
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

// Under a clip that cuts its area, a drawing kept as a picture leaves only what the drawing
// itself would: the first frame makes the picture, the second draws from it.
void drawRedBlock(SDL_Surface* target, const void* /*what*/) {
    SDL_Rect block = {100, 200, 20, 10};
    SDL_FillRect(target, &block, SDL_MapRGB(target->format, 255, 0, 0));
}
TEST(KeptDrawing, UnderAClipLeavesOnlyWhatTheDrawingLeaves) {
    ASSERT_TRUE(startInScratchFolder(false));
    DrawingPicture picture;
    SDL_Rect clip = {110, 203, 50, 5};
    for (SDL_Rect* frameClip : {static_cast<SDL_Rect*>(nullptr), &clip}) {
        SDL_SetClipRect(screen, nullptr);
        SDL_FillRect(screen, nullptr, 0);
        SDL_SetClipRect(screen, frameClip);
        drawThroughPicture(picture, screen, {100, 200, 20, 10}, drawRedBlock, nullptr);
    }
    EXPECT_TRUE(rgbAt(100, 200) == 0 && rgbAt(112, 204) == 0xFF0000);
}
