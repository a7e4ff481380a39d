// Start-up and the frame loop: the pacing, a queued quit, every display depth and bad media file
// through a whole stretch of play, and the paused dashboard that draws only what changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fnmatch.h>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "app/frame_loop.h"
#include "dashboard/backdrop.h"
#include "dashboard/buttons.h"
#include "dashboard/header_footer.h"
#include "dashboard/media.h"
#include "dashboard/state.h"
#include "game/world.h"
#include "gfx/opaque_runs.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "support/headless.h"

// Rows: how long a frame's work took, then the waits after it; a quit queued before is taken.
TEST(FrameLoop, AFrameIsDelayedToTheBudgetAndAQueuedQuitIsTaken) {
    ASSERT_TRUE(startInScratchFolder());
    std::signal(SIGALRM, SIG_DFL), alarm(30); // a frame that hangs on the queue ends the test
    static Uint32 frameStart = 0, spent = 0;
    static int clockReads = 0;
    static std::vector<Uint32> delays;
    queryTicks = [] { return frameStart + (clockReads++ > 0 ? spent : 0); };
    delayFrame = [](Uint32 ms) { delays.push_back(ms); };
    SDL_Event event = {SDL_QUIT};
    SDL_PushEvent(&event);
    const std::pair<Uint32, std::vector<Uint32>> rows[] = {
        {0, {16}}, {6, {10}}, {15, {1}}, {16, {}}, {40, {}}};
    for (const auto& [took, expected] : rows) {
        delays.clear();
        frameStart += 1000, spent = took, clockReads = 0;
        runFrame();
        EXPECT_EQ(delays, expected) << took;
    }
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS), 0);
}

namespace {

// The media files (the folder's own last) and their handles (none: the music).
const std::pair<const char*, SDL_Surface**> MediaFiles[] = {
    {"Media/Lumadeck/Font.png", &fontImage},
    {"Media/Lumadeck/Button.png", &buttonImage},
    {"Media/Lumadeck/Border.png", &borderImage},
    {"Media/Lumadeck/TopBottomBorder.png", &topBottomBorderImage},
    {"Media/Lumadeck/Cursor.png", &cursorImage},
    {"Media/Game/Mirovanta.ogg", nullptr},
    {"Media", nullptr}};
// Rows: the display's depth (8: palettised), the media file made bad (-1: none), cut to a number
// of bytes or (-1) gone.
const std::tuple<int, int, int> PlayRows[] = {{32, -1, 0},   {8, 0, -1}, {16, 1, 100}, {24, 2, 0},
                                              {32, 3, 2000}, {8, 4, 33}, {16, 5, -1},  {24, 6, -1}};

class WholePlay : public ::testing::TestWithParam<int> {};

} // namespace

// Start-up reads the best, and a bad media file leaves only its own handle absent (the folder
// gone: all of them); then play, a round to its end, the dashboard, "Save BMP screenshot", play
// again.
TEST_P(WholePlay, RunsAtEveryDepthWhicheverMediaFileIsBad) {
    const auto [depth, bad, bytes] = PlayRows[GetParam()];
    namespace fs = std::filesystem;
    fs::copy(GLIMM_MEDIA_DIR, fs::path(enterScratchFolder(false)) / "Media",
             fs::copy_options::recursive);
    const char* path = bad < 0 ? "none" : MediaFiles[bad].first;
    bad < 0 ? void() : bytes < 0 ? void(fs::remove_all(path)) : fs::resize_file(path, bytes);
    writeWhole("highscore.dat", " 42\n");
    ASSERT_TRUE(startHeadless(depth));
    ASSERT_EQ(screen->format->BitsPerPixel, depth);
    EXPECT_TRUE(screen->w == 640 && screen->h == 480 && SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE);
    EXPECT_EQ(highScore, 42);
    for (const auto& [file, handle] : MediaFiles) {
        const bool loaded = handle != nullptr ? *handle != nullptr : music != nullptr;
        EXPECT_TRUE(loaded == (file != path && bad != 6) || file == MediaFiles[6].first) << file;
    }
    useFakeClock(1000);
    queryAppState = focusedAppState;
    EXPECT_TRUE(play(6000, 50, 5, 5, [] { return shownHealth < 1.0; }));
    EXPECT_TRUE(play(6000, 50, 5, 5, [] { return shownHealth == 1.0; }));
    EXPECT_TRUE(easeDashboardTo(100.0));
    ASSERT_TRUE(play(2, 16, 320, 215, [] { return readWhole("screenshot1.bmp") != ""; }));
    EXPECT_TRUE(easeDashboardTo(0.0));
    EXPECT_FALSE(play(20, 16, 320, 240, [] { return quitRequested; }));
}

INSTANTIATE_TEST_SUITE_P(Rows, WholePlay, ::testing::Range(0, 8));

namespace {

std::time_t calendarNow = 0;

// The open dashboard drawn in full from the frame's state, as every frame once was; the screen
// is left as it was found.
std::vector<Uint8> fullRedraw() {
    const std::vector<Uint8> kept = bytesOf();
    const int button = mouseButtonState[SDL_BUTTON_LEFT];
    mouseButtonState[SDL_BUTTON_LEFT] = KeyUp; // a click was carried out by the frame itself
    drawBackdrop(100.0);
    drawDashboardButtons();
    drawHeaderAndFooter();
    drawCursor(pointerActive[0]);
    drawOpaqueRuns(borderImage, borderRuns, screen);
    mouseButtonState[SDL_BUTTON_LEFT] = button;
    std::vector<Uint8> drawn = bytesOf();
    std::memcpy(screen->pixels, kept.data(), kept.size());
    return drawn;
}

} // namespace

// Rows, frame by frame with the dashboard fully open: the pointer, whether it is over the window,
// the calendar clock's second, the left button (1 pressed before the frame, 2 still held), the
// window uncovered; then whether the frame is drawn and flipped. What the window shows after each
// frame (the last flipped picture) must be what a full redraw shows.
TEST(FrameLoop, AnOpenDashboardRedrawsOnlyWhenTheClockHoverOrCursorChanges) {
    ASSERT_TRUE(startInScratchFolder());
    queryCalendarTime = [] { return calendarNow; };
    calendarNow = 1'800'000'000;
    ASSERT_TRUE(easeDashboardTo(100.0));
    const struct {
        int x, y;
        bool over;
        int second;
        int button;
        bool exposed, drawn;
    } rows[] = {{320, 400, 1, 0, 0, 0, 1}, // the filtered backdrop in place of the fade's last step
                {320, 400, 1, 0, 0, 0, 0}, // nothing changed
                {320, 400, 1, 1, 0, 0, 1}, // the clock's second turns
                {320, 400, 1, 1, 0, 0, 0}, //
                {321, 400, 1, 1, 0, 0, 1}, // the cursor moves a pixel
                {321, 401, 1, 1, 0, 0, 1}, // and down
                {320, 215, 1, 1, 0, 0, 1}, // onto "Save BMP screenshot": its hover
                {320, 215, 1, 1, 1, 0, 0}, // a click there saves, looking the same
                {320, 215, 1, 1, 2, 0, 0}, // held, it saves no more
                {320, 215, 1, 1, 0, 0, 0}, //
                {320, 215, 0, 1, 0, 0, 1}, // the pointer leaves the window: the cursor goes
                {330, 215, 0, 1, 0, 0, 0}, // and moves unseen
                {330, 400, 0, 1, 0, 0, 1}, // off the button: the hover goes
                {330, 400, 0, 61, 0, 0, 1}, // a minute later
                {330, 400, 1, 61, 0, 0, 1}, // the pointer comes back
                {330, 400, 1, 61, 0, 0, 0}, //
                {330, 400, 1, 61, 0, 1, 1}, // the window uncovered: drawn whole again
                {330, 400, 1, 61, 0, 0, 0}};
    std::vector<Uint8> shown = bytesOf();
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "frame " << &row - rows);
        queryAppState = row.over ? focusedAppState : unfocusedAppState;
        calendarNow = 1'800'000'000 + row.second;
        SDL_WarpMouse(static_cast<Uint16>(row.x), static_cast<Uint16>(row.y));
        row.button == 1 ? pushButton(SDL_BUTTON_LEFT, true, row.x, row.y) : void();
        row.button == 0 ? pushButton(SDL_BUTTON_LEFT, false, row.x, row.y) : void();
        SDL_Event exposed = {SDL_VIDEOEXPOSE};
        row.exposed ? void(SDL_PushEvent(&exposed)) : void();
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 1, 2, 3)); // seen if not drawn
        const std::vector<Uint8> untouched = bytesOf();
        const long flips = framesShown;
        runFrameLasting(16);
        EXPECT_EQ(framesShown - flips, row.drawn ? 1 : 0);
        EXPECT_EQ(bytesOf() != untouched, row.drawn);
        shown = row.drawn ? bytesOf() : shown;
        EXPECT_TRUE(shown == fullRedraw());
        std::memcpy(screen->pixels, shown.data(), shown.size());
    }
    EXPECT_TRUE(readWhole("screenshot1.bmp") != "" && readWhole("screenshot2.bmp") == "");
    EXPECT_EQ(dashboardFraction, 100.0);
    pushKey(SDLK_ESCAPE, true); // Escape starts the close in the very next frame
    const long flips = framesShown;
    runFrameLasting(16);
    EXPECT_TRUE(framesShown == flips + 1 && dashboardFraction < 100.0);
}

// Media/ beside the game, the sound driver asked for; then what start-up says, as a shell
// pattern (* any text within its line) where ~ stands for the scratch folder, and whether it may
// say nothing instead: a line for missing media, a line for a sound device it cannot open
// (without a sound card alsa-lib writes eight lines of its own, held back; with one, nothing).
const std::tuple<bool, const char*, const char*, bool> StartRows[] = {
    {true, "dummy", "", false},
    {false, "dummy",
     "glimm: no game media in ~/Media; start Glimm with \"make run\" in its source folder, or "
     "with the installed \"glimm\" command\n",
     false},
    {true, "no-such-sound", "glimm: no sound device (*); the game plays on without music\n", false},
    {true, "alsa", "glimm: no sound device (*); the game plays on without music\n", true}};

class StartUp : public ::testing::TestWithParam<int> {};

TEST_P(StartUp, SaysOneLineForMissingMediaOrSoundAndPlaysOn) {
    const auto& [withMedia, soundDriver, pattern, maySayNothing] = StartRows[GetParam()];
    const std::string folder = std::filesystem::canonical(enterScratchFolder(withMedia));
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", soundDriver, 1);
    ::testing::internal::CaptureStderr();
    const bool started = startGame(32);
    const std::string said = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(started);
    std::string expected = pattern;
    const size_t home = expected.find('~');
    expected = home == std::string::npos ? expected : expected.replace(home, 1, folder);
    const bool oneLine = std::count(said.begin(), said.end(), '\n') == (pattern[0] != '\0');
    EXPECT_TRUE((fnmatch(expected.c_str(), said.c_str(), 0) == 0 && oneLine) ||
                (maySayNothing && said.empty()))
        << said;
    useFakeClock(1000);
    EXPECT_FALSE(play(20, 16, 320, 240, [] { return quitRequested; }));
}

INSTANTIATE_TEST_SUITE_P(Rows, StartUp, ::testing::Range(0, 4));
