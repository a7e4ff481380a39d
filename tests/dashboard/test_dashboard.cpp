// The dashboard: backdrop, frames, buttons, header and footer, and screenshots.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

#include "app/frame_loop.h"
#include "backdrop_reference.h"
#include "dashboard/backdrop.h"
#include "dashboard/buttons.h"
#include "dashboard/header_footer.h"
#include "dashboard/media.h"
#include "dashboard/screenshot.h"
#include "dashboard/state.h"
#include "game/world.h"
#include "gfx/opaque_runs.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"

namespace fs = std::filesystem;

namespace {

constexpr Uint32 Red = 0xFF0000, Green = 0x00FF00, Yellow = 0xFFFF00, White = 0xFFFFFF;

// A 32-bit sheet whose raw values are 0xRRGGBB, all black, and a rectangle filled in one.
SDL_Surface* blackSheet(int w, int h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
}
void fill(SDL_Surface* sheet, int x, int y, int w, int h, Uint32 rgb) {
    SDL_Rect r = {Sint16(x), Sint16(y), Uint16(w), Uint16(h)};
    SDL_FillRect(sheet, &r, rgb);
}

// Bits per pixel, red, green, blue and alpha masks.
using Format = std::array<Uint32, 5>;
const Format Formats[] = {{32, 0xFF0000, 0xFF00, 0xFF, 0},
                          {32, 0xFF, 0xFF00, 0xFF0000, 0},
                          {32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF},
                          {24, 0xFF0000, 0xFF00, 0xFF, 0},
                          {16, 0xF800, 0x7E0, 0x1F, 0},
                          {15, 0x7C00, 0x3E0, 0x1F, 0},
                          {8, 0, 0, 0, 0}};

// A surface that copies when blitted, every byte random; palettised, they start the palette.
SDL_Surface* noiseSurface(const Format& f) {
    SDL_Surface* s = SDL_CreateRGBSurface(0, 640, 480, int(f[0]), f[1], f[2], f[3], f[4]);
    SDL_SetAlpha(s, 0, 255);
    auto* bytes = static_cast<Uint8*>(s->pixels);
    for (unsigned i = 0, seed = 7; i < unsigned(s->pitch * s->h); ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<Uint8>(seed >> 16);
    }
    SDL_SetColors(s, reinterpret_cast<SDL_Color*>(bytes), 0, 256);
    return s;
}

class BackdropFormats : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(BackdropFormats, CaptureAndFadeMatchTheReference) {
    const Format& f = Formats[GetParam()];
    ASSERT_TRUE(startInScratchFolder(false));
    SDL_Surface *theirs = noiseSurface(f), *theirCapture = noiseSurface(f),
                *theirFiltered = noiseSurface(f);
    screen = noiseSurface(f);
    backdropCapture = noiseSurface(f);
    backdropFiltered = noiseSurface(f);
    static Uint8 referenceFiltered[reference::Bytes], referenceCaptured[reference::Bytes];
    captureBackdrop();
    reference::capture(theirs, theirCapture, theirFiltered, referenceFiltered, referenceCaptured);
    ASSERT_TRUE(bytesOf(backdropCapture) == bytesOf(theirCapture));
    ASSERT_TRUE(bytesOf(backdropFiltered) == bytesOf(theirFiltered));
    for (int t = 0; t < 100; t += f[0] == 8 ? 11 : 1) { // by the whole percent below
        drawBackdrop(t + 0.75);
        reference::blend(theirs, referenceFiltered, referenceCaptured, t);
        ASSERT_TRUE(bytesOf() == bytesOf(theirs)) << "t " << t;
    }
    drawBackdrop(100.0); // fully open: the filtered surface as it is; closed: nothing
    drawBackdrop(0.0);
    EXPECT_TRUE(bytesOf() == bytesOf(backdropFiltered));
}

INSTANTIATE_TEST_SUITE_P(Formats, BackdropFormats, ::testing::Range(0, 7));

// Rows: the steps a frame runs, then the frames the dashboard takes to open fully, and again to
// close: 39 steps each way, however a slow page's frames group them.
TEST(Dashboard, ItsEasingTakesThirtyNineStepsWhateverTheirGrouping) {
    for (const auto& [steps, frames] : {std::pair{1, 39}, {2, 20}, {4, 10}, {6, 7}}) {
        frameSteps = steps;
        dashboardFraction = 0.0;
        for (const bool open : {true, false}) {
            dashboardOpen = open;
            for (int frame = 1; frame <= frames; ++frame) {
                easeDashboard();
                ASSERT_EQ(dashboardFraction == (open ? 100.0 : 0.0), frame == frames)
                    << steps << " steps, frame " << frame;
            }
        }
    }
    frameSteps = 1;
}

// Frames, fraction after them, Escape in the first?, open?, captured, world moved, header, music.
TEST(Dashboard, EscapeOpensClosesAndReopensFrameByFrame) {
    const struct Step {
        int frames;
        double fraction;
        bool escape, open, captures, worldMoves, pieces, musicPaused;
    } steps[] = {{1, 107.5 / 15, 1, 1, 1, 1, 1, 1}, // opens on this very frame
                 {1, 13.8556, 0, 1, 0, 0, 1, 1},
                 {2, 11.1031, 1, 0, 0, 0, 1, 1}, // a second Escape reverses at once
                 {2, 23.5276, 1, 1, 0, 0, 1, 1}, // Escape while closing: no capture
                 {39, 100.0, 0, 1, 0, 0, 1, 1},
                 {1, 92.8333, 1, 0, 0, 0, 1, 1},
                 {37, 0.3128, 0, 0, 0, 0, 1, 1},     // 38 steps down
                 {1, 0.0, 0, 0, 0, 0, 0, 1},         // the 39th: only the backdrop
                 {1, 0.0, 0, 0, 0, 1, 0, 0},         // the world runs, the music plays
                 {1, 107.5 / 15, 1, 1, 1, 1, 1, 1}}; // Escape at once: a new capture
    ASSERT_TRUE(startInScratchFolder(true));
    // Our own cursor (cell 3 green), a tall yellow band, and no border.
    borderRuns.clear();
    fill(cursorImage = blackSheet(1536, 96), 288, 0, 96, 96, Green);
    cursorVisibleRects[3] = findVisibleBox(cursorImage, cursorRects[3]); // no alpha: whole cell
    fill(topBottomBorderImage = blackSheet(640, 200), 0, 0, 640, 200, Yellow);
    SDL_WarpMouse(102, 102);
    for (int i = 0; i < 31; ++i) {
        runFrameLasting(16);
    }
    std::vector<Uint8> captured = bytesOf(backdropCapture);
    for (const Step& step : steps) {
        SCOPED_TRACE(::testing::Message() << "step " << &step - steps);
        const double angle = spawnAngle;
        localTimeKnown = false;
        for (int frame = 0; frame < step.frames; ++frame) { // released in the next frame
            pushKey(SDLK_ESCAPE, frame == 0 && step.escape);
            runFrameLasting(16);
        }
        EXPECT_EQ(dashboardOpen, step.open);
        EXPECT_NEAR(dashboardFraction, step.fraction, 0.00005);
        const std::vector<Uint8> now = bytesOf(backdropCapture);
        EXPECT_EQ(now != captured, step.captures);
        captured = now;
        for (int x = 0; step.captures && x < 640; ++x) { // the world as drawn, not the cursor
            ASSERT_EQ(rgbAt(x, 300, backdropCapture), rgbAt(x, 300)) << x;
        }
        EXPECT_TRUE(!step.captures || rgbAt(100, 120, backdropCapture) != Green);
        EXPECT_EQ(spawnAngle != angle, step.worldMoves);
        EXPECT_EQ(rgbAt(20, 30) == Yellow && localTimeKnown, step.pieces); // band and time
        EXPECT_EQ(Mix_PausedMusic() != 0, step.musicPaused);
    }
}

// The cursor, blitted from its cell's visible box, leaves every screen depth as the whole cell
// would: at the centre, by each edge and corner (clipped), over random bytes. The box is
// smaller than the cell; a box with nothing in it draws nothing, but for a palettised screen,
// which always takes the whole cell.
TEST(Dashboard, TheCursorFromItsVisibleBoxLeavesWhatTheWholeCellWould) {
    const struct {
        int x, y;
    } pointers[] = {{320, 240}, {0, 0},   {639, 479}, {5, 470},  {634, 3},
                    {320, 1},   {1, 240}, {638, 240}, {320, 478}};
    ASSERT_TRUE(startInScratchFolder(true));
    for (const int depth : {32, 24, 16, 8}) { // (the dummy driver gives 15 bits too little memory)
        SCOPED_TRACE(::testing::Message() << depth << " bpp");
        ASSERT_TRUE(openDisplay(depth));
        loadDashboardMedia(); // the images in this depth's format, and their boxes
        const SDL_Rect box = cursorVisibleRects[3];
        EXPECT_TRUE(box.w > 0 && box.w < 96 && box.h > 0 && box.h < 96);
        const SDL_PixelFormat* f = screen->format;
        SDL_Surface* noise = noiseSurface({Uint32(depth), f->Rmask, f->Gmask, f->Bmask, f->Amask});
        refreshPointerFocus();
        for (const auto& p : pointers) {
            SCOPED_TRACE(::testing::Message() << "pointer " << p.x << "," << p.y);
            pointerX[0] = p.x;
            pointerY[0] = p.y;
            SDL_BlitSurface(noise, nullptr, screen, nullptr);
            SDL_Rect cell = cursorRects[3];
            SDL_Rect at = {Sint16(p.x - 48), Sint16(p.y - 48), 0, 0};
            SDL_UpperBlit(cursorImage, &cell, screen, &at);
            const std::vector<Uint8> whole = bytesOf();
            SDL_BlitSurface(noise, nullptr, screen, nullptr);
            drawCursor(true);
            EXPECT_TRUE(bytesOf() == whole);
        }
        cursorVisibleRects[3].w = 0;
        SDL_BlitSurface(noise, nullptr, screen, nullptr);
        const std::vector<Uint8> ground = bytesOf();
        drawCursor(true);
        EXPECT_EQ(bytesOf() == ground, depth != 8);
        SDL_FreeSurface(noise);
    }
}

// Pointer, mouse button, its state (2 pressed, 1 held): what a button does; then its pieces.
TEST(Dashboard, ButtonsActOnAFreshLeftPressInTheirHitAreaAndDrawTheirPieces) {
    ASSERT_TRUE(startInScratchFolder(false));
    buttonImage = blackSheet(189, 42); // each pixel tells its place: red x, green y (hover 21+)
    for (int i = 0; i < 189 * 42; ++i) {
        fill(buttonImage, i % 189, i / 189, 1, 1, Uint32(i % 189 << 16 | i / 189 << 8));
    }
    const struct {
        double fraction;
        int x, y, button, state;
        bool hovered, closes, quits, saves;
    } rows[] = {{100, 156, 115, 1, 2, 0, 0, 0, 0}, {100, 482, 115, 1, 2, 1, 1, 0, 0},
                {100, 300, 135, 1, 2, 1, 1, 0, 0}, {100, 300, 115, 3, 2, 1, 0, 0, 0},
                {100, 300, 115, 1, 1, 1, 0, 0, 0}, {100, 320, 165, 1, 2, 1, 0, 1, 0},
                {100, 320, 215, 1, 2, 1, 0, 0, 1}, {60, 320, 307, 1, 2, 1, 1, 0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.fraction << " " << row.x << "," << row.y);
        dashboardFraction = row.fraction;
        dashboardOpen = true;
        quitRequested = false;
        pointerX[0] = row.x;
        pointerY[0] = row.y;
        mouseButtonState[row.button] = row.state;
        drawDashboardButtons();
        mouseButtonState[row.button] = KeyUp;
        EXPECT_EQ((rgbAt(row.x, row.y) >> 8 & 0xFF) >= 21, row.hovered);
        EXPECT_EQ(dashboardOpen, !row.closes);
        EXPECT_EQ(quitRequested, row.quits);
        EXPECT_EQ(remove("screenshot1.bmp") == 0, row.saves);
    }
    drawButtonFrame(170, 108, 0);
    const int pieces[][4] = {
        {169, 143, 41, 20},  {490, 87, 62, 0},    {490, 143, 83, 20},
        {463, 123, 104, 0},  {464, 123, 84, 0},   {470, 108, 105, 0},
        {469, 107, 131, 20}, {149, 122, 147, 14}, {469, 122, 173, 14}}; // screen x, y, sheet x, y
    for (const auto& p : pieces) {
        EXPECT_EQ(rgbAt(p[0], p[1]), Uint32(p[2] << 16 | p[3] << 8)) << p[0] << "," << p[1];
    }
}

TEST(Dashboard, DateAndClockLines) {
    const char* const rows[][3] = {
        {"2028-01-01 00:00:00", "Saturday January 1st 2028", "12:00:00 AM"},
        {"2028-02-02 12:30:00", "Wednesday February 2nd 2028", "12:30:00 PM"},
        {"2028-03-03 13:00:09", "Friday March 3rd 2028", "1:00:09 PM"},
        {"2028-05-11 09:05:07", "Thursday May 11th 2028", "9:05:07 AM"},
        {"2028-06-12 11:10:10", "Monday June 12th 2028", "11:10:10 AM"},
        {"2028-07-13 14:07:03", "Thursday July 13th 2028", "2:07:03 PM"},
        {"2028-08-21 01:00:00", "Monday August 21st 2028", "1:00:00 AM"},
        {"2028-10-22 12:00:59", "Sunday October 22nd 2028", "12:00:59 PM"},
        {"2028-11-23 23:59:59", "Thursday November 23rd 2028", "11:59:59 PM"},
        {"2028-12-31 00:59:01", "Sunday December 31st 2028", "12:59:01 AM"}};
    for (const auto& row : rows) {
        std::tm time = {};
        strptime(row[0], "%Y-%m-%d %H:%M:%S", &time);
        char date[DateLineCapacity], clock[DateLineCapacity];
        dateLine(time, date, sizeof date);
        clockLine(time, clock, sizeof clock);
        EXPECT_EQ(std::string(date) + ", " + clock, std::string(row[1]) + ", " + row[2]);
    }
}

// By fraction, the box of white (glyphs are white blocks) in rows top..bottom, and the bands.
TEST(Dashboard, TextAndBandsSlideInWithTheFraction) {
    ASSERT_TRUE(startInScratchFolder(false));
    fill(fontImage = blackSheet(1425, 21), 0, 0, 1425, 21, White);
    fill(topBottomBorderImage = blackSheet(640, 131), 0, 0, 640, 1, Red); // last row green
    fill(topBottomBorderImage, 0, 130, 640, 1, Green);
    strptime("2026-09-23 00:00:00", "%Y-%m-%d %H:%M:%S", &localTimeNow); // the longest date line
    localTimeKnown = true;
    using Box = std::array<int, 4>;
    const struct {
        double fraction;
        int top, bottom, headerLast, footerFirst;
        Box box;
    } rows[] = {{100, 0, 37, 60, 419, {301, 18, 623, 37}},         // date line
                {100, 39, 80, 60, 419, {499, 39, 623, 58}},        // clock line
                {100, 100, 130, 60, 419, {260, 105, 384, 125}},    // "Resume game"
                {100, 430, 479, 60, 419, {20, 442, 265, 462}},     // the web address
                {107.5 / 15, 0, 40, 4, 475, {499, 0, 623, 2}},     // the clock's end
                {107.5 / 15, 5, 474, 4, 475, {640, 480, -1, -1}}}; // nothing else
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.fraction << " rows " << row.top);
        dashboardFraction = row.fraction;
        SDL_FillRect(screen, nullptr, 0);
        drawDashboardButtons();
        drawHeaderAndFooter();
        Box box = {640, 480, -1, -1};
        for (int x = 0, y = row.top; y <= row.bottom; y += ++x / 640, x %= 640) {
            if (rgbAt(x, y) == White) {
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), y};
            }
        }
        EXPECT_EQ(box, row.box);
        EXPECT_EQ(rgbAt(5, row.headerLast), Green);
        EXPECT_EQ(rgbAt(5, row.footerFirst), Red);
    }
}

// Rows: the numbers taken (negative: a dangling link, never written through), the bytes a write
// may take (-1: no limit; a whole screenshot takes 921654), the player's umask; then the new
// file's mode (0: no file is left). It takes the first free number, holds the capture, not the
// backdrop, and is made for everyone to read and write, less what the umask takes away.
TEST(Dashboard, ScreenshotsTakeTheFirstFreeNumberLeaveNoFileOnFailureAndFollowTheUmask) {
    ASSERT_TRUE(startInScratchFolder(false));
    fill(backdropCapture, 0, 0, 640, 480, SDL_MapRGB(backdropCapture->format, 255, 0, 0));
    const struct {
        std::vector<int> taken;
        long limit;
        mode_t mask, mode;
    } rows[] = {{{}, -1, 022, 0644},
                {{1, 3}, -1, 002, 0664},
                {{1, 2, 3, 4, 5, 6, 7, 8, 9}, -1, 022, 0644},
                {{-1}, -1, 022, 0644},
                {{}, 4096, 022, 0},
                {{2}, 921653, 022, 0},
                {{}, 921654, 022, 0644}};
    const auto nameOf = [](int n) { return "screenshot" + std::to_string(n) + ".bmp"; };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.taken.size() << " taken, limit " << row.limit);
        enterScratchFolder(false);
        int fresh = 1;
        for (int n : row.taken) {
            n > 0 ? writeWhole(nameOf(n), "old") : fs::create_symlink("elsewhere", nameOf(-n));
            fresh += std::abs(n) == fresh;
        }
        const mode_t usualMask = umask(row.mask);
        EXPECT_EQ(underSizeLimit(row.limit, saveScreenshot), row.mode != 0);
        umask(usualMask);
        for (int n : row.taken) {
            EXPECT_TRUE(n > 0 ? readWhole(nameOf(n)) == "old" : !fs::exists("elsewhere")) << n;
        }
        SDL_Surface* saved = SDL_LoadBMP(nameOf(fresh).c_str());
        EXPECT_TRUE(row.mode == 0 || (saved != nullptr && rgbAt(639, 479, saved) == Red));
        struct stat info = {};
        EXPECT_EQ(stat(nameOf(fresh).c_str(), &info) == 0 ? info.st_mode & 07777 : 0, row.mode);
    }
}
