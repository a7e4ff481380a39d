// Media loading: the cell tables, every handle with its layout, keyed against alpha images, and
// start-up and play with each file missing in turn.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <filesystem>
#include <string>

#include "app/frame_loop.h"
#include "dashboard/controller.h"
#include "dashboard/media.h"
#include "dashboard/state.h"
#include "gfx/image.h"
#include "gfx/pixels.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/input.h"
#include "support/headless.h"
#include "support/png_writer.h"

namespace fs = std::filesystem;

namespace {

void expectRect(const SDL_Rect& rect, int x, int y, int w, int h) {
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.w, w);
    EXPECT_EQ(rect.h, h);
}

// A scratch working folder holding a private copy of the committed media.
void enterFolderWithMediaCopy() {
    const std::string folder = enterScratchFolder(false);
    fs::copy(GLIMM_MEDIA_DIR, fs::path(folder) / "Media", fs::copy_options::recursive);
}

struct MediaFile {
    const char* path;
    SDL_Surface** handle; // nullptr for the music
};

const MediaFile MediaFiles[] = {
    {"Media/Lumadeck/Font.png", &fontImage},
    {"Media/Lumadeck/Button.png", &buttonImage},
    {"Media/Lumadeck/Border.png", &borderImage},
    {"Media/Lumadeck/TopBottomBorder.png", &topBottomBorderImage},
    {"Media/Lumadeck/Cursor.png", &cursorImage},
    {"Media/Game/Mirovanta.ogg", nullptr},
};

// Plays frames of a round, opens the dashboard, lets it settle and closes it again.
void playRoundWithDashboard() {
    useFakeClock(1000);
    for (int i = 0; i < 30; ++i) {
        pushButton(i % 2 == 0 ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT, true, 320, 240);
        runFrameLasting(16);
        pushButton(SDL_BUTTON_LEFT, false, 320, 240);
    }
    pushKey(SDLK_ESCAPE, true);
    runFrameLasting(16);
    pushKey(SDLK_ESCAPE, false);
    for (int i = 0; i < 50; ++i) {
        runFrameLasting(16);
    }
    EXPECT_EQ(dashboardFraction, 100.0);
    pushKey(SDLK_ESCAPE, true);
    runFrameLasting(16);
    pushKey(SDLK_ESCAPE, false);
    for (int i = 0; i < 50; ++i) {
        runFrameLasting(16);
    }
    EXPECT_EQ(dashboardFraction, 0.0);
    EXPECT_FALSE(quitRequested);
}

// A small image with one cyan pixel at (1, 1) and opaque red elsewhere, saved as a PNG.
void saveCyanDotImage(const char* path) {
    SDL_Surface* image = makeRgbaSurface(4, 4, 255, 0, 0, 255);
    SDL_Rect dot = {1, 1, 1, 1};
    SDL_FillRect(image, &dot, SDL_MapRGBA(image->format, 0, 255, 255, 255));
    ASSERT_TRUE(savePng(image, path));
    SDL_FreeSurface(image);
}

// What blitting the image at (0, 0) onto a black screen leaves at (x, y).
void blitAndRead(SDL_Surface* image, int x, int y, Uint8& r, Uint8& g, Uint8& b) {
    SDL_FillRect(screen, nullptr, 0);
    SDL_Rect at = {0, 0, 0, 0};
    SDL_UpperBlit(image, nullptr, screen, &at);
    readRgb(screen, x, y, r, g, b);
}

} // namespace

TEST(MediaLoading, WithNoFilesEveryImageIsAbsentAndTheTablesAreFilled) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    for (const MediaFile& file : MediaFiles) {
        if (file.handle != nullptr) {
            EXPECT_EQ(*file.handle, nullptr) << file.path;
        }
    }
    EXPECT_EQ(tintedFontImage, nullptr);
    EXPECT_EQ(music, nullptr);
    for (SDL_Surface* work : {backdropCapture, backdropFiltered}) {
        ASSERT_NE(work, nullptr);
        EXPECT_NE(work, screen);
        EXPECT_EQ(work->w, 640);
        EXPECT_EQ(work->h, 480);
        EXPECT_EQ(work->format->BitsPerPixel, screen->format->BitsPerPixel);
    }
    EXPECT_NE(backdropCapture, backdropFiltered);
    expectRect(glyphRects[0], 0, 0, 15, 21);
    expectRect(glyphRects[33], 495, 0, 15, 21);
    expectRect(glyphRects[94], 1410, 0, 15, 21);
    expectRect(buttonPieceRects[0][0], 0, 0, 21, 21);
    expectRect(buttonPieceRects[0][8], 168, 0, 21, 21);
    expectRect(buttonPieceRects[1][0], 0, 21, 21, 21);
    expectRect(buttonPieceRects[1][8], 168, 21, 21, 21);
    expectRect(cursorRects[0], 0, 0, 96, 96);
    expectRect(cursorRects[3], 288, 0, 96, 96);
    expectRect(cursorRects[15], 1440, 0, 96, 96);
    // Without a single image the game still plays and the dashboard still opens and closes.
    playRoundWithDashboard();
}

namespace {

// Alpha values found in a surface with per-pixel alpha: whether any pixel is fully transparent
// and whether any is fully opaque.
void alphaRange(SDL_Surface* image, bool& anyClear, bool& anyOpaque) {
    anyClear = anyOpaque = false;
    for (int y = 0; y < image->h; ++y) {
        for (int x = 0; x < image->w; ++x) {
            Uint8 r = 0, g = 0, b = 0, a = 0;
            SDL_GetRGBA(getPixel(image, x, y), image->format, &r, &g, &b, &a);
            anyClear = anyClear || a == 0;
            anyOpaque = anyOpaque || a == 255;
        }
    }
}

bool containsKey(SDL_Surface* image) {
    for (int y = 0; y < image->h; ++y) {
        for (int x = 0; x < image->w; ++x) {
            if (getPixel(image, x, y) == image->format->colorkey) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

TEST(MediaLoading, TheCommittedMediaLoadWithTheirLayouts) {
    enterFolderWithMediaCopy();
    ASSERT_TRUE(startHeadless(32));
    struct Layout {
        SDL_Surface* image;
        int w;
        int h;
    };
    ASSERT_NE(topBottomBorderImage, nullptr);
    const Layout layouts[] = {{fontImage, 1425, 21},
                              {tintedFontImage, 1425, 21},
                              {buttonImage, 189, 42},
                              {borderImage, 640, 480},
                              {topBottomBorderImage, 640, topBottomBorderImage->h},
                              {cursorImage, 1536, 96}};
    for (const Layout& layout : layouts) {
        ASSERT_NE(layout.image, nullptr);
        EXPECT_EQ(layout.image->w, layout.w);
        EXPECT_EQ(layout.image->h, layout.h);
    }
    EXPECT_GE(topBottomBorderImage->h, 131);
    EXPECT_NE(music, nullptr);
    Mix_Music* again = Mix_LoadMUS("Media/Game/Mirovanta.ogg");
    EXPECT_NE(again, nullptr);
    Mix_FreeMusic(again);

    // Two sheets from one file: distinct surfaces, equal pixels until the tint.
    ASSERT_NE(fontImage, tintedFontImage);
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 1425; ++x) {
            ASSERT_EQ(getPixel(fontImage, x, y), getPixel(tintedFontImage, x, y));
        }
    }
    // The alpha images carry real per-pixel alpha; the keyed ones hold cyan to key out.
    for (SDL_Surface* image : {fontImage, buttonImage, cursorImage}) {
        ASSERT_NE(image->format->Amask, 0u);
        bool anyClear = false;
        bool anyOpaque = false;
        alphaRange(image, anyClear, anyOpaque);
        EXPECT_TRUE(anyClear);
        EXPECT_TRUE(anyOpaque);
    }
    for (SDL_Surface* image : {borderImage, topBottomBorderImage}) {
        EXPECT_TRUE(image->flags & SDL_SRCCOLORKEY);
        EXPECT_EQ(image->format->colorkey, SDL_MapRGB(image->format, 0, 255, 255));
        EXPECT_TRUE(containsKey(image));
    }
    // The space cell is blank; the border leaves the health bar and the score lines free.
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 15; ++x) {
            Uint8 r = 0, g = 0, b = 0, a = 0;
            SDL_GetRGBA(getPixel(fontImage, x, y), fontImage->format, &r, &g, &b, &a);
            ASSERT_EQ(a, 0) << x << "," << y;
        }
    }
    const SDL_Rect keptFree[] = {{18, 423, 604, 29}, {23, 418, 238, 40}}; // bar, score lines
    for (const SDL_Rect& free : keptFree) {
        for (int y = free.y; y < free.y + free.h; ++y) {
            for (int x = free.x; x < free.x + free.w; ++x) {
                ASSERT_EQ(getPixel(borderImage, x, y), borderImage->format->colorkey)
                    << x << "," << y;
            }
        }
    }
}

class KeyedAndAlphaImages : public ::testing::TestWithParam<int> {};

TEST_P(KeyedAndAlphaImages, CyanIsTransparentOnlyInKeyedImages) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(GetParam()));
    saveCyanDotImage("dot.png");
    SDL_Surface* keyed = loadKeyedImage("dot.png");
    SDL_Surface* alpha = loadAlphaImage("dot.png");
    ASSERT_NE(keyed, nullptr);
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(keyed->format->BitsPerPixel, screen->format->BitsPerPixel);
    EXPECT_TRUE(keyed->flags & SDL_SRCCOLORKEY);
    EXPECT_NE(alpha->format->Amask, 0u);
    Uint8 r = 0, g = 0, b = 0;
    blitAndRead(keyed, 1, 1, r, g, b);
    EXPECT_EQ(g, 0); // keyed out: the black screen shows
    blitAndRead(keyed, 2, 2, r, g, b);
    EXPECT_GT(r, 200);
    blitAndRead(alpha, 1, 1, r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_GT(g, 200);
    EXPECT_GT(b, 200);
    SDL_FreeSurface(keyed);
    SDL_FreeSurface(alpha);
    EXPECT_EQ(loadKeyedImage("no such file.png"), nullptr);
    EXPECT_EQ(loadAlphaImage("no such file.png"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Depths, KeyedAndAlphaImages, ::testing::Values(32, 16));

class MissingMediaFile : public ::testing::TestWithParam<int> {};

TEST_P(MissingMediaFile, EveryOtherHandleLoadsAndTheGamePlays) {
    const MediaFile& missing = MediaFiles[GetParam()];
    enterFolderWithMediaCopy();
    ASSERT_TRUE(fs::remove(missing.path)) << missing.path;
    ASSERT_TRUE(startHeadless(32));
    for (const MediaFile& file : MediaFiles) {
        if (file.handle != nullptr) {
            EXPECT_EQ(*file.handle == nullptr, &file == &missing) << file.path;
        }
    }
    EXPECT_EQ(tintedFontImage == nullptr, missing.handle == &fontImage);
    EXPECT_EQ(music == nullptr, missing.handle == nullptr);
    EXPECT_NE(backdropCapture, nullptr);
    EXPECT_NE(backdropFiltered, nullptr);
    playRoundWithDashboard();
}

INSTANTIATE_TEST_SUITE_P(EachFile, MissingMediaFile, ::testing::Range(0, 6));
