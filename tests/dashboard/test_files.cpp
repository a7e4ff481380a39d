// What the dashboard writes and reads: screenshots (the first free number, nothing replaced, no
// half-written file, the captured game frame) and its media (a bad file in any slot).
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
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
    const struct { // taken: "name" a file, "name!" an unreadable one, "name>target" a link
        const char* taken;
        const char* written;
    } rows[] = {{"", "screenshot1.bmp"},
                {"1 3", "screenshot2.bmp"},
                {"1 2 3 4 5 6 7 8 9", "screenshot10.bmp"},
                {"1>gone 2>kept 3!", "screenshot4.bmp"}};
    for (const auto& row : rows) {
        enterScratchFolder(false);
        writeWhole("kept", "old");
        std::istringstream taken(row.taken);
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
        EXPECT_TRUE(saveScreenshot()) << row.written;
        EXPECT_EQ(readWhole(row.written).substr(0, 2), "BM") << row.written;
        EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), files) << row.written;
        EXPECT_EQ(readWhole("kept"), "old") << row.written;
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

struct MediaSlot {
    const char* path;
    SDL_Surface** handle; // nullptr for the music
    int w, h;
    bool keyed; // colour-keyed cyan, else per-pixel alpha
};

const MediaSlot Slots[] = {
    {"Media/Lumadeck/Font.png", &fontImage, 1425, 21, false},
    {"Media/Lumadeck/Button.png", &buttonImage, 189, 42, false},
    {"Media/Lumadeck/Border.png", &borderImage, 640, 480, true},
    {"Media/Lumadeck/TopBottomBorder.png", &topBottomBorderImage, 640, 136, true},
    {"Media/Lumadeck/Cursor.png", &cursorImage, 1536, 96, false},
    {"Media/Game/Mirovanta.ogg", nullptr, 0, 0, false}};

// The slot spoilt (-1: the whole Media folder), and the file put in its place (nullptr: none)
// or the bytes it is cut to.
const struct BadFile {
    int slot;
    const char* replacement;
    int bytes;
} BadFiles[] = {
    {-1, nullptr, 0},
    {0, nullptr, -1},
    {1, nullptr, 100},
    {2, nullptr, 0},
    {3, "Media/Game/Mirovanta.ogg", 0},
    {4, GLIMM_SOURCE_DIR "/fuzz/regressions/fuzz_image/gif-decoder-loops-forever.png", 0},
    {5, nullptr, -1}};

class BadMedia : public ::testing::TestWithParam<BadFile> {};

} // namespace

TEST_P(BadMedia, LeavesOnlyItsHandleAbsentAndTheDashboardWorks) {
    const BadFile& bad = GetParam();
    const fs::path folder = enterScratchFolder(false);
    fs::copy(GLIMM_MEDIA_DIR, folder / "Media", fs::copy_options::recursive);
    const char* path = bad.slot < 0 ? "Media" : Slots[bad.slot].path;
    if (bad.replacement != nullptr) {
        fs::copy_file(bad.replacement, path, fs::copy_options::overwrite_existing);
    } else if (bad.bytes < 0 || bad.slot < 0) {
        fs::remove_all(path);
    } else {
        fs::resize_file(path, bad.bytes);
    }
    startInThisFolder();
    for (const MediaSlot& slot : Slots) {
        SDL_Surface* image = slot.handle != nullptr ? *slot.handle : nullptr;
        const bool present = bad.slot >= 0 && &slot != &Slots[bad.slot];
        EXPECT_EQ(slot.handle != nullptr ? image != nullptr : music != nullptr, present)
            << slot.path;
        if (image != nullptr) {
            EXPECT_EQ(std::make_pair(image->w, image->h), std::make_pair(slot.w, slot.h));
            EXPECT_EQ(image->format->Amask == 0, slot.keyed) << slot.path;
            EXPECT_EQ(image->format->colorkey == SDL_MapRGB(image->format, 0, 255, 255),
                      slot.keyed);
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
    ASSERT_EQ(dashboardFraction, 100.0);
    SDL_Surface* saved = SDL_LoadBMP("screenshot1.bmp");
    ASSERT_NE(saved, nullptr);
    int differsFromScreen = 0;
    for (int i = 0; i < 640 * 480; ++i) {
        Uint8 rgb[3];
        readRgb(saved, i % 640, i / 640, rgb[0], rgb[1], rgb[2]);
        ASSERT_EQ(std::memcmp(rgb, capturedRgb + (i % 640 * 480 + i / 640) * 3, 3), 0) << i;
        differsFromScreen +=
            screenRgb(i % 640, i / 640) != Uint32(rgb[0] << 16 | rgb[1] << 8 | rgb[2]);
    }
    EXPECT_GT(differsFromScreen, 100000);
    EXPECT_FALSE(quitRequested);
}

INSTANTIATE_TEST_SUITE_P(EachSlot, BadMedia, ::testing::ValuesIn(BadFiles));
