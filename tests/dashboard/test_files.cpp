// What the dashboard writes and reads: screenshots (the first free number, nothing replaced, no
// half-written file, the captured game frame) and its media (a bad file in any slot).
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

#include "app/frame_loop.h"
#include "dashboard/backdrop.h"
#include "dashboard/screenshot.h"
#include "dashboard_fixture.h"
#include "gfx/text.h"

namespace fs = std::filesystem;

TEST(Screenshot, TakesTheFirstFreeNumberAndReplacesNothing) {
    startDashboardTest();
    const char* const rows[][2] = {// taken: "n" a file, "n!" an unreadable one, "n>to" a link
                                   {"", "screenshot1.bmp"},
                                   {"1 3", "screenshot2.bmp"},
                                   {"1 2 3 4 5 6 7 8 9", "screenshot10.bmp"},
                                   {"1>gone 2>kept 3!", "screenshot4.bmp"}};
    for (const auto& row : rows) {
        enterScratchFolder(false);
        writeWhole("kept", "old");
        std::istringstream taken(row[0]);
        int files = 2;
        for (std::string n; taken >> n; ++files) {
            const std::string name = "screenshot" + n.substr(0, n.find_first_of(">!")) + ".bmp";
            if (n.find('>') != std::string::npos) {
                fs::create_symlink(n.substr(n.find('>') + 1), name);
            } else {
                writeWhole(name, "old");
                chmod(name.c_str(), n.back() == '!' ? 0 : 0644);
            }
        }
        EXPECT_TRUE(saveScreenshot()) << row[1];
        EXPECT_EQ(readWhole(row[1]).substr(0, 2), "BM") << row[1];
        EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), files) << row[1];
        EXPECT_EQ(readWhole("kept"), "old") << row[1];
    }
}

TEST(Screenshot, AFailedSaveLeavesNoFile) {
    startDashboardTest();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit usual = {}, small = {};
    getrlimit(RLIMIT_FSIZE, &usual);
    small = {4096, usual.rlim_max}; // the soft limit only
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_FALSE(saveScreenshot());
    setrlimit(RLIMIT_FSIZE, &usual);
    SDL_Surface* const capture = backdropCapture;
    backdropCapture = nullptr;
    EXPECT_FALSE(saveScreenshot()); // nothing captured
    EXPECT_FALSE(fs::exists("screenshot1.bmp"));
    backdropCapture = capture;
    fs::remove(fs::current_path()); // a folder that is gone: no endless search
    EXPECT_FALSE(saveScreenshot());
}

namespace {

// Each file with its handle (none for the music), layout and conversion (keyed or alpha), and
// how a test spoils it: another file in its place, or cut to a number of bytes (-1: gone).
const struct MediaSlot {
    const char* path;
    SDL_Surface** handle;
    int w, h;
    bool keyed;
    const char* replacement;
    int bytes;
} Slots[] = {{"Media/Lumadeck/Font.png", &fontImage, 1425, 21, 0, nullptr, -1},
             {"Media/Lumadeck/Button.png", &buttonImage, 189, 42, 0, nullptr, 100},
             {"Media/Lumadeck/Border.png", &borderImage, 640, 480, 1, nullptr, 0},
             {"Media/Lumadeck/TopBottomBorder.png", &topBottomBorderImage, 640, 136, 1,
              "Media/Game/Mirovanta.ogg", 0},
             {"Media/Lumadeck/Cursor.png", &cursorImage, 1536, 96, 0,
              GLIMM_SOURCE_DIR "/fuzz/regressions/fuzz_image/gif-decoder-loops-forever.png", 0},
             {"Media/Game/Mirovanta.ogg", nullptr, 0, 0, 0, nullptr, -1},
             {"Media", nullptr, 0, 0, 0, nullptr, -1}}; // all of them, so no music either

class BadMedia : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(BadMedia, LeavesOnlyItsHandleAbsentAndTheDashboardWorks) {
    const MediaSlot& bad = Slots[GetParam()];
    fs::copy(GLIMM_MEDIA_DIR, fs::path(enterScratchFolder(false)) / "Media",
             fs::copy_options::recursive);
    if (bad.replacement != nullptr) {
        fs::copy_file(bad.replacement, bad.path, fs::copy_options::overwrite_existing);
    } else {
        bad.bytes < 0 ? void(fs::remove_all(bad.path)) : fs::resize_file(bad.path, bad.bytes);
    }
    startHere();
    for (const MediaSlot& slot : Slots) {
        SDL_Surface* image = slot.handle != nullptr ? *slot.handle : nullptr;
        const bool present = &slot != &bad && GetParam() != 6; // 6: the folder
        const bool loaded = slot.handle != nullptr ? image != nullptr : music != nullptr;
        EXPECT_TRUE(loaded == present || &slot == &Slots[6]) << slot.path;
        if (image != nullptr) { // its layout, and cyan keyed out or alpha
            EXPECT_EQ(std::make_tuple(image->w, image->h, image->format->Amask == 0),
                      std::make_tuple(slot.w, slot.h, slot.keyed));
        }
    }
    EXPECT_EQ(tintedFontImage != nullptr, fontImage != nullptr);
    const SDL_Rect cells[] = {glyphRects[94], buttonPieceRects[1][8], cursorRects[15]};
    const SDL_Rect expected[] = {{1410, 0, 15, 21}, {168, 21, 21, 21}, {1440, 0, 96, 96}};
    EXPECT_EQ(std::memcmp(cells, expected, sizeof cells), 0);
    for (int i = 0; i < 80; ++i) { // play, open the dashboard, click "Save BMP screenshot"
        SDL_WarpMouse(320, i < 70 ? 240 : 215);
        if (i < 30 || i >= 70) {
            pushButton(SDL_BUTTON_LEFT, i % 2 == 0, 320, i < 70 ? 240 : 215);
        }
        i == 30 ? runFrameWithEscape() : runFrameLasting(16);
    }
    SDL_Surface* saved = SDL_LoadBMP("screenshot1.bmp"); // the game frame as it was captured
    ASSERT_TRUE(saved != nullptr && dashboardFraction == 100.0 && !quitRequested);
    for (int i = 0; i < 640 * 480; ++i) {
        Uint8 rgb[3];
        readRgb(saved, i % 640, i / 640, rgb[0], rgb[1], rgb[2]);
        ASSERT_EQ(std::memcmp(rgb, capturedRgb + (i % 640 * 480 + i / 640) * 3, 3), 0) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(EachSlot, BadMedia, ::testing::Range(0, 7));
