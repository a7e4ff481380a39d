// The dashboard's controller over real frames (the Escape toggle, 39 frames of easing either
// way, one capture per opening, the frozen world, the music, what every frame draws) and its
// pieces: the buttons, the date and clock lines, and where everything stands as it slides.
#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <array>
#include <cstring>
#include <vector>

#include "app/frame_loop.h"
#include "dashboard/backdrop.h"
#include "dashboard/buttons.h"
#include "dashboard/header_footer.h"
#include "dashboard_fixture.h"
#include "gfx/opaque_runs.h"
#include "game/world.h"
#include "gfx/pixels.h"
#include "gfx/text.h"

namespace {

constexpr Uint32 Red = 0xFF0000, Green = 0x00FF00, Yellow = 0xFFFF00, White = 0xFFFFFF,
                 Gray = 0x323232;

// Escape pressed in the first of the frames, then after the last one: the open flag and the
// fraction, whether the backdrop was captured anew, the world moved, the header band was drawn
// and the local time taken, and the music is paused. A press shows in its frame and its
// release in the next, so two presses are two frames apart.
const struct Step {
    bool escape;
    int frames;
    bool open;
    double fraction;
    bool captures, worldMoves, pieces, musicPaused;
} Steps[] = {{1, 1, 1, 107.5 / 15, 1, 1, 1, 1}, // opens on this very frame
             {0, 1, 1, 13.8556, 0, 0, 1, 1},
             {1, 2, 0, 11.1031, 0, 0, 1, 1}, // a second Escape reverses at once
             {1, 2, 1, 23.5276, 0, 0, 1, 1}, // Escape while closing: no capture
             {0, 39, 1, 100.0, 0, 0, 1, 1},
             {1, 1, 0, 92.8333, 0, 0, 1, 1},
             {0, 37, 0, 0.3128, 0, 0, 1, 1},    // 38 steps down
             {0, 1, 0, 0.0, 0, 0, 0, 1},        // the 39th: only the backdrop
             {0, 1, 0, 0.0, 0, 1, 0, 0},        // the world runs, the music plays
             {1, 1, 1, 107.5 / 15, 1, 1, 1, 1}, // Escape at once: a new capture
             {0, 37, 1, 99.6872, 0, 0, 1, 1},   // 38 steps up
             {0, 1, 1, 100.0, 0, 0, 1, 1}};     // the 39th

// Left, top, right, bottom of the pixels of that colour in rows top..bottom; all -1 for none.
using Box = std::array<int, 4>;
Box boxOf(int top, int bottom, Uint32 colour) {
    Box box = {640, 480, -1, -1};
    for (int x = 0, y = top; y <= bottom; y += ++x / 640, x %= 640) {
        if (screenRgb(x, y) == colour) {
            box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), y};
        }
    }
    return box[2] < 0 ? Box{-1, -1, -1, -1} : box;
}

} // namespace

TEST(DashboardFrames, EscapeOpensClosesAndReopensFrameByFrame) {
    startDashboardTest(true);
    ASSERT_NE(music, nullptr);
    // Our own border (a red mark over the cursor), cursor (cell 3 green) and a tall yellow band.
    borderImage = solidSheet(640, 480, 0x00FFFF);
    SDL_SetColorKey(borderImage, SDL_SRCCOLORKEY, 0x00FFFF);
    SDL_Rect mark = {100, 100, 5, 5}, cell = {288, 0, 96, 96};
    SDL_FillRect(borderImage, &mark, Red);
    borderRuns = findOpaqueRuns(borderImage);
    cursorImage = solidSheet(1536, 96, 0);
    SDL_FillRect(cursorImage, &cell, Green);
    topBottomBorderImage = solidSheet(640, 200, Yellow);
    SDL_WarpMouse(102, 102);
    runFrameLasting(16);
    for (int i = 0; i < 30; ++i) {
        runFrameLasting(16);
    }
    std::vector<Uint8> captured(capturedRgb, capturedRgb + BackdropBytes);
    for (const Step& step : Steps) {
        SCOPED_TRACE(::testing::Message() << "step " << &step - Steps);
        const double angle = spawnAngle;
        localTimeKnown = false;
        for (int frame = 0; frame < step.frames; ++frame) {
            frame == 0 && step.escape ? runFrameWithEscape() : runFrameLasting(16);
        }
        EXPECT_EQ(dashboardOpen, step.open);
        EXPECT_NEAR(dashboardFraction, step.fraction, 0.00005);
        const std::vector<Uint8> now(capturedRgb, capturedRgb + BackdropBytes);
        EXPECT_EQ(now != captured, step.captures);
        captured = now;
        for (int x = 0; step.captures && x < 640; ++x) { // the world as drawn in this frame
            ASSERT_EQ(getPixel(backdropCapture, x, 300), getPixel(screen, x, 300)) << x;
        }
        EXPECT_EQ(spawnAngle != angle, step.worldMoves);
        EXPECT_EQ(screenRgb(20, 30) == Yellow, step.pieces);
        EXPECT_EQ(localTimeKnown, step.pieces);
        EXPECT_EQ(Mix_PausedMusic() != 0, step.musicPaused);
        EXPECT_EQ(frameMs, 16);               // the clock is taken in every frame, frozen or not
        EXPECT_EQ(screenRgb(54, 149), Green); // the cursor's cell from mouse - 48 to mouse + 47
        EXPECT_EQ(screenRgb(100, 100), Red);  // and the border over it
    }
    queryAppState = [] { return Uint8(SDL_APPINPUTFOCUS | SDL_APPACTIVE); };
    runFrameLasting(16);
    EXPECT_NE(screenRgb(60, 60), Green); // no cursor while the window lacks the mouse
    EXPECT_EQ(screenRgb(100, 100), Red);
}

TEST(Buttons, OnlyAFreshLeftPressInTheHitAreaActsAndHoverTakesTheSecondRow) {
    startDashboardTest();
    buttonImage = solidSheet(189, 42, 0x0000FF); // the normal look blue, the hover look green
    SDL_Rect hoverRow = {0, 21, 189, 21};
    SDL_FillRect(buttonImage, &hoverRow, Green);
    const struct { // button 1 left, 2 middle, 3 right; state 2 pressed this frame, 1 held
        double fraction;
        int x, y, button, state;
        bool openBefore, hovered, openAfter, quits, saves;
    } rows[] = {{100, 156, 115, 1, 2, 1, 0, 1, 0, 0}, {100, 157, 115, 1, 2, 1, 1, 0, 0, 0},
                {100, 482, 115, 1, 2, 1, 1, 0, 0, 0}, {100, 483, 115, 1, 2, 1, 0, 1, 0, 0},
                {100, 300, 94, 1, 2, 1, 0, 1, 0, 0},  {100, 300, 95, 1, 2, 1, 1, 0, 0, 0},
                {100, 300, 135, 1, 2, 1, 1, 0, 0, 0}, {100, 300, 136, 1, 2, 1, 0, 1, 0, 0},
                {100, 300, 115, 3, 2, 1, 1, 1, 0, 0}, {100, 300, 115, 2, 2, 1, 1, 1, 0, 0},
                {100, 300, 115, 1, 1, 1, 1, 1, 0, 0}, {100, 320, 165, 1, 2, 1, 1, 1, 1, 0},
                {100, 320, 215, 1, 2, 1, 1, 1, 0, 1}, {50, 320, 375, 1, 2, 1, 1, 0, 0, 0},
                {60, 320, 307, 1, 2, 0, 1, 0, 0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.fraction << " " << row.x << "," << row.y);
        dashboardFraction = row.fraction;
        dashboardOpen = row.openBefore;
        quitRequested = false;
        pointerX[0] = row.x;
        pointerY[0] = row.y;
        mouseButtonState[row.button] = row.state;
        drawDashboardButtons();
        mouseButtonState[row.button] = KeyUp;
        EXPECT_EQ(screenRgb(row.x, row.y), row.hovered ? Green : 0x0000FF);
        EXPECT_EQ(dashboardOpen, row.openAfter);
        EXPECT_EQ(dashboardFraction, row.fraction);
        EXPECT_EQ(quitRequested, row.quits);
        EXPECT_EQ(remove("screenshot1.bmp") == 0, row.saves);
    }
}

TEST(Buttons, FramePiecesComeFromTheirPlaceInTheSheet) {
    startDashboardTest();
    buttonImage = solidSheet(189, 42, 0); // each pixel tells its place: red x, green y
    for (int i = 0; i < 189 * 42; ++i) {
        SDL_Rect dot = {Sint16(i % 189), Sint16(i / 189), 1, 1};
        SDL_FillRect(buttonImage, &dot, Uint32(dot.x << 16 | dot.y << 8));
    }
    drawButtonFrame(170, 108, 0);
    const int rows[][4] = {{149, 87, 0, 0},    {169, 143, 41, 20},  {490, 87, 62, 0},
                           {490, 143, 83, 20}, {463, 123, 104, 0},  {464, 123, 84, 0},
                           {470, 108, 105, 0}, {469, 107, 131, 20}, {149, 122, 147, 14},
                           {469, 122, 173, 14}}; // screen x, y, sheet x, y
    for (const auto& row : rows) {
        EXPECT_EQ(screenRgb(row[0], row[1]), Uint32(row[2] << 16 | row[3] << 8))
            << row[0] << "," << row[1];
    }
}

TEST(HeaderAndFooter, DateAndClockLines) {
    const char* const rows[][3] = {
        {"2028-01-01 00:00:00", "Saturday January 1st 2028", "12:00:00 AM"},
        {"2028-02-02 12:30:00", "Wednesday February 2nd 2028", "12:30:00 PM"},
        {"2028-03-03 13:00:09", "Friday March 3rd 2028", "1:00:09 PM"},
        {"2028-04-04 23:59:59", "Tuesday April 4th 2028", "11:59:59 PM"},
        {"2028-05-11 09:05:07", "Thursday May 11th 2028", "9:05:07 AM"},
        {"2028-06-12 11:10:10", "Monday June 12th 2028", "11:10:10 AM"},
        {"2028-07-13 14:07:03", "Thursday July 13th 2028", "2:07:03 PM"},
        {"2028-08-21 01:00:00", "Monday August 21st 2028", "1:00:00 AM"},
        {"2028-10-22 12:00:59", "Sunday October 22nd 2028", "12:00:59 PM"},
        {"2028-11-23 20:45:30", "Thursday November 23rd 2028", "8:45:30 PM"},
        {"2028-12-31 00:59:01", "Sunday December 31st 2028", "12:59:01 AM"}};
    for (const auto& row : rows) {
        std::tm time = {};
        ASSERT_NE(strptime(row[0], "%Y-%m-%d %H:%M:%S", &time), nullptr);
        char text[DateLineCapacity];
        dateLine(time, text, sizeof text);
        EXPECT_STREQ(text, row[1]);
        clockLine(time, text, sizeof text);
        EXPECT_STREQ(text, row[2]);
    }
}

TEST(HeaderAndFooter, BandsFramesAndTextSlideInWithTheFraction) {
    startDashboardTest();
    buttonImage = solidSheet(189, 42, 0x0000FF);
    fontImage = solidSheet(1425, 21, 0xFFFFFF);        // every glyph a white block
    topBottomBorderImage = solidSheet(640, 131, Gray); // first row red, last row green
    SDL_Rect first = {0, 0, 640, 1}, last = {0, 130, 640, 1};
    SDL_FillRect(topBottomBorderImage, &first, Red);
    SDL_FillRect(topBottomBorderImage, &last, Green);
    strptime("2026-09-23 00:00:00", "%Y-%m-%d %H:%M:%S", &localTimeNow); // the longest date line
    const int webEnd = 20 + 11 * int(std::strlen(webAddressText)) + 3;
    const struct {
        double fraction;
        bool timeKnown;
        int top, bottom; // the rows looked at
        Uint32 colour;   // white: text; blue: a button frame
        Box box;
        int headerLast, footerFirst;
    } rows[] = {{100, 1, 0, 37, White, {301, 18, 623, 37}, 60, 419},        // date line
                {100, 1, 39, 80, White, {499, 39, 623, 58}, 60, 419},       // clock line
                {100, 1, 100, 130, White, {260, 105, 384, 125}, 60, 419},   // "Resume game"
                {100, 1, 150, 180, White, {298, 155, 345, 175}, 60, 419},   // "Exit"
                {100, 1, 200, 230, White, {216, 205, 428, 225}, 60, 419},   // "Save BMP screenshot"
                {100, 1, 430, 479, White, {20, 442, webEnd, 462}, 60, 419}, // web address
                {100, 1, 80, 300, 0x0000FF, {149, 87, 490, 243}, 60, 419},  // button frames
                {100, 0, 0, 80, White, {-1, -1, -1, -1}, 60, 419},          // no time, no lines
                {107.5 / 15, 1, 0, 40, White, {499, 0, 623, 2}, 4, 475},    // the clock's end
                {107.5 / 15, 1, 5, 474, White, {-1, -1, -1, -1}, 4, 475}};  // nothing else yet
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.fraction << " rows " << row.top);
        dashboardFraction = row.fraction;
        localTimeKnown = row.timeKnown;
        SDL_FillRect(screen, nullptr, 0);
        drawDashboardButtons();
        drawHeaderAndFooter();
        EXPECT_EQ(boxOf(row.top, row.bottom, row.colour), row.box);
        EXPECT_EQ(screenRgb(5, row.headerLast), Green); // the header band's last row
        EXPECT_EQ(screenRgb(5, row.footerFirst), Red);  // the footer band's first row
    }
}
