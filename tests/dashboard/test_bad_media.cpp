// Bad media: each of the six files missing, empty, cut short at several points, of another
// type, or of the wrong size, and the whole Media folder missing. Start-up must reach the first
// frame and a round, the dashboard, a screenshot and closing it must all work.
#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "app/frame_loop.h"
#include "dashboard/media.h"
#include "gfx/text.h"
#include "support/headless.h"
#include "support/play.h"
#include "support/png_writer.h"

namespace fs = std::filesystem;

namespace {

struct MediaFile {
    const char* path;
    SDL_Surface** handle; // nullptr for the music
    int w;                // the layout's size
    int h;
};

const MediaFile MediaFiles[] = {
    {"Media/Lumadeck/Font.png", &fontImage, 1425, 21},
    {"Media/Lumadeck/Button.png", &buttonImage, 189, 42},
    {"Media/Lumadeck/Border.png", &borderImage, 640, 480},
    {"Media/Lumadeck/TopBottomBorder.png", &topBottomBorderImage, 640, 136},
    {"Media/Lumadeck/Cursor.png", &cursorImage, 1536, 96},
    {"Media/Game/Mirovanta.ogg", nullptr, 0, 0},
};

enum Damage {
    Missing,
    ZeroBytes,
    CutAfterSignature, // 8 bytes
    CutInHeader,       // 20 bytes
    CutInData,         // half the file
    CutBeforeLastPart, // the last 12 bytes (an image's end chunk) gone
    OtherType,         // the music under an image's name, an image under the music's
    LoopingGif,        // the GIF that once hung the loader
    TooSmall,          // a 10 x 10 picture, or the first 4 KB of the music
    TooLarge,          // twice the layout each way, or the music twice over
    DamageCount
};

const char* const DamageNames[DamageCount] = {
    "Missing",           "ZeroBytes", "CutAfterSignature", "CutInHeader", "CutInData",
    "CutBeforeLastPart", "OtherType", "LoopingGif",        "TooSmall",    "TooLarge"};

std::string committed(const char* path) {
    return (fs::path(GLIMM_MEDIA_DIR).parent_path() / path).string();
}

void truncateTo(const char* path, std::uintmax_t size) {
    fs::resize_file(path, size);
}

// A picture of the given size: half cyan (keyed out where keyed), half half-transparent red.
void writePicture(const char* path, int w, int h) {
    SDL_Surface* picture = makeRgbaSurface(w, h, 200, 30, 30, 128);
    SDL_Rect half = {0, 0, static_cast<Uint16>(w / 2), static_cast<Uint16>(h)};
    SDL_FillRect(picture, &half, SDL_MapRGBA(picture->format, 0, 255, 255, 255));
    ASSERT_TRUE(savePng(picture, path));
    SDL_FreeSurface(picture);
}

// Damages the scratch folder's copy of the file.
void damage(const MediaFile& file, Damage how) {
    const std::uintmax_t size = fs::file_size(file.path);
    const bool music = file.handle == nullptr;
    switch (how) {
    case Missing:
        fs::remove(file.path);
        break;
    case ZeroBytes:
        truncateTo(file.path, 0);
        break;
    case CutAfterSignature:
        truncateTo(file.path, 8);
        break;
    case CutInHeader:
        truncateTo(file.path, 20);
        break;
    case CutInData:
        truncateTo(file.path, size / 2);
        break;
    case CutBeforeLastPart:
        truncateTo(file.path, size - 12);
        break;
    case OtherType:
        fs::copy_file(committed(music ? "Media/Lumadeck/Button.png" : "Media/Game/Mirovanta.ogg"),
                      file.path, fs::copy_options::overwrite_existing);
        break;
    case LoopingGif:
        fs::copy_file(std::string(GLIMM_SOURCE_DIR) +
                          "/fuzz/regressions/fuzz_image/gif-decoder-loops-forever.png",
                      file.path, fs::copy_options::overwrite_existing);
        break;
    case TooSmall:
        if (music) {
            truncateTo(file.path, 4096);
        } else {
            writePicture(file.path, 10, 10);
        }
        break;
    case TooLarge:
        if (music) {
            const std::string whole = readWhole(file.path);
            writeWhole(file.path, whole + whole);
        } else {
            writePicture(file.path, 2 * file.w, 2 * file.h);
        }
        break;
    default:
        break;
    }
}

class BadMediaFile : public ::testing::TestWithParam<std::tuple<int, int>> {};

} // namespace

TEST_P(BadMediaFile, StartUpPlayDashboardAndScreenshotAllWork) {
    const MediaFile& file = MediaFiles[std::get<0>(GetParam())];
    const auto how = static_cast<Damage>(std::get<1>(GetParam()));
    const std::string folder = enterScratchFolder(false);
    fs::copy(GLIMM_MEDIA_DIR, fs::path(folder) / "Media", fs::copy_options::recursive);
    damage(file, how);

    ASSERT_TRUE(startHeadless(32));
    // Every other file loads as usual.
    for (const MediaFile& other : MediaFiles) {
        if (&other != &file && other.handle != nullptr) {
            EXPECT_NE(*other.handle, nullptr) << other.path;
        }
    }
    if (file.handle != nullptr) {
        // Only a whole PNG loads, whatever its size.
        const bool shouldLoad = how == TooSmall || how == TooLarge;
        EXPECT_EQ(*file.handle != nullptr, shouldLoad);
        if (file.handle == &fontImage) {
            EXPECT_EQ(tintedFontImage != nullptr, shouldLoad);
        }
        if (shouldLoad) {
            EXPECT_EQ((*file.handle)->w, how == TooSmall ? 10 : 2 * file.w);
        }
        EXPECT_NE(music, nullptr);
    } else if (how == Missing || how == ZeroBytes || how == OtherType || how == LoopingGif) {
        EXPECT_EQ(music, nullptr);
    }
    playFullSequence();
}

INSTANTIATE_TEST_SUITE_P(EachFileEachDamage, BadMediaFile,
                         ::testing::Combine(::testing::Range(0, 6),
                                            ::testing::Range(0, static_cast<int>(DamageCount))),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
                             const std::string path = MediaFiles[std::get<0>(info.param)].path;
                             std::string name = fs::path(path).stem().string();
                             return name + "_" + DamageNames[std::get<1>(info.param)];
                         });

TEST(BadMedia, WithoutAMediaFolderTheGameStillPlays) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    EXPECT_EQ(fontImage, nullptr);
    EXPECT_EQ(music, nullptr);
    playFullSequence();
}
