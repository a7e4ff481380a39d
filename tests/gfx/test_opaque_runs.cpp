// The border drawn from its opaque runs gives the very bytes of SDL's own keyed blit, at every
// depth, clipped or not.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <vector>

#include "gfx/opaque_runs.h"
#include "platform/display.h"
#include "support/headless.h"

namespace {

Uint32 noise(unsigned& seed) {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
}

// A 24 x 6 picture of cyan (the key) and noise: a single pixel at a row's start and a run at its
// end, a fully opaque row, a fully keyed one, every other pixel opaque, and near-cyan pixels
// (which 16 bits cannot tell from the key).
SDL_Surface* testPicture() {
    SDL_Surface* picture =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 24, 6, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    const Uint32 cyan = SDL_MapRGB(picture->format, 0, 255, 255);
    const Uint32 nearCyan = SDL_MapRGB(picture->format, 0, 252, 253);
    unsigned seed = 7;
    for (int y = 0; y < 6; ++y) {
        auto* row =
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(picture->pixels) + y * picture->pitch);
        for (int x = 0; x < 24; ++x) {
            const bool opaque = (y == 0 && (x == 0 || x >= 20)) || y == 1 ||
                                (y == 3 && x % 2 == 1) || (y == 5 && x > 6 && x < 15);
            row[x] = opaque ? noise(seed) & 0xFFFFFF : y == 4 && x % 3 == 0 ? nearCyan : cyan;
        }
    }
    return picture;
}

// In the display format with cyan as its key, as the game loads its keyed pictures.
SDL_Surface* keyedCopy(SDL_Surface* picture) {
    SDL_Surface* keyed = SDL_DisplayFormat(picture);
    SDL_SetColorKey(keyed, SDL_SRCCOLORKEY, SDL_MapRGB(keyed->format, 0, 255, 255));
    SDL_FreeSurface(picture);
    return keyed;
}

// A display-format surface full of noise, the same for a given seed.
SDL_Surface* noisyTarget(unsigned seed) {
    SDL_Surface* target = SDL_DisplayFormat(screen);
    auto* bytes = static_cast<Uint8*>(target->pixels);
    for (int i = 0; i < target->pitch * target->h; ++i) {
        bytes[i] = static_cast<Uint8>(noise(seed));
    }
    return target;
}

bool sameRows(SDL_Surface* a, SDL_Surface* b) {
    const size_t rowBytes = static_cast<size_t>(a->w) * a->format->BytesPerPixel;
    for (int y = 0; y < a->h; ++y) {
        if (std::memcmp(static_cast<Uint8*>(a->pixels) + y * a->pitch,
                        static_cast<Uint8*>(b->pixels) + y * b->pitch, rowBytes) != 0) {
            ADD_FAILURE() << "first different row " << y;
            return false;
        }
    }
    return true;
}

class OpaqueRuns : public ::testing::TestWithParam<int> {};

TEST_P(OpaqueRuns, CopyingTheRunsGivesSdlsKeyedBlit) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(GetParam()));
    ASSERT_EQ(screen->format->BitsPerPixel, GetParam());
    const struct {
        const char* what;
        SDL_Surface* picture;
    } pictures[] = {
        {"test picture", testPicture()},
        {"the game's border", IMG_Load(GLIMM_MEDIA_DIR "/Lumadeck/Border.png")},
    };
    const SDL_Rect clips[] = {{0, 0, 640, 480}, {3, 1, 13, 3}};
    for (const auto& row : pictures) {
        ASSERT_NE(row.picture, nullptr) << row.what;
        SDL_Surface* keyed = keyedCopy(row.picture);
        const std::vector<SDL_Rect> runs = findOpaqueRuns(keyed);
        for (SDL_Rect clip : clips) {
            SCOPED_TRACE(::testing::Message() << row.what << ", clip width " << clip.w);
            SDL_Surface* expected = noisyTarget(3);
            SDL_Surface* drawn = noisyTarget(3);
            SDL_SetClipRect(expected, &clip);
            SDL_SetClipRect(drawn, &clip);
            SDL_BlitSurface(keyed, nullptr, expected, nullptr);
            drawOpaqueRuns(keyed, runs, drawn);
            EXPECT_TRUE(sameRows(expected, drawn));
            SDL_FreeSurface(expected);
            SDL_FreeSurface(drawn);
        }
        SDL_FreeSurface(keyed);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, OpaqueRuns, ::testing::Values(8, 16, 24, 32));

} // namespace
