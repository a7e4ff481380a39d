// Media loading: the cell tables, every handle with its layout, keyed against alpha images, and
// start-up and play with each file missing in turn.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <filesystem>
#include <string>

#include "app/display.h"
#include "app/frame_loop.h"
#include "dashboard/controller.h"
#include "dashboard/media.h"
#include "gfx/pixels.h"
#include "gfx/text.h"
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
    if (!fs::exists(fs::path(GLIMM_MEDIA_DIR).parent_path() / missing.path)) {
        GTEST_SKIP() << "media not generated yet"; // TEMPORARY until the media set lands
    }
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
