// The dashboard's pieces: the buttons (frame, hit area, hover, actions), the date and clock
// lines, and where the bands, frames and lines of text stand as the dashboard slides.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "dashboard/buttons.h"
#include "dashboard/header_footer.h"
#include "dashboard_fixture.h"
#include "gfx/text.h"

namespace {

// A button sheet whose every pixel tells where it came from: red = sheet x, green = sheet y.
void useTellingButtonSheet() {
    buttonImage = solidSheet(189, 42, 0);
    for (int i = 0; i < 189 * 42; ++i) {
        SDL_Rect dot = {Sint16(i % 189), Sint16(i / 189), 1, 1};
        SDL_FillRect(buttonImage, &dot, Uint32(dot.x << 16 | dot.y << 8 | 255));
    }
}

// Left, top, right and bottom of the pixels in rows top..bottom that pass; all -1 for none.
using Box = std::array<int, 4>;
Box boxWhere(int top, int bottom, bool (*hit)(Uint32 rgb)) {
    Box box = {640, 480, -1, -1};
    for (int i = top * 640; i < (bottom + 1) * 640; ++i) {
        if (hit(screenRgb(i % 640, i / 640))) {
            box = {std::min(box[0], i % 640), std::min(box[1], i / 640), std::max(box[2], i % 640),
                   i / 640};
        }
    }
    return box[2] < 0 ? Box{-1, -1, -1, -1} : box;
}
bool white(Uint32 rgb) {
    return rgb == 0xFFFFFF;
}
bool drawn(Uint32 rgb) {
    return rgb != 0;
}
bool fromSheet(Uint32 rgb) {
    return (rgb & 0xFF) == 255 && rgb != 0xFFFFFF;
}

} // namespace

TEST(Buttons, FramePiecesComeFromTheirPlaceInTheSheet) {
    startDashboardTest();
    useTellingButtonSheet();
    drawButtonFrame(170, 108, 0);
    const struct {
        int x, y, sheetX, sheetY;
    } rows[] = {{149, 87, 0, 0},     {169, 143, 41, 20}, {490, 87, 62, 0},   {490, 143, 83, 20},
                {463, 123, 104, 0},  {464, 123, 84, 0},  {470, 108, 105, 0}, {469, 107, 131, 20},
                {149, 122, 147, 14}, {469, 122, 173, 14}};
    for (const auto& row : rows) {
        EXPECT_EQ(screenRgb(row.x, row.y) >> 8, Uint32(row.sheetX << 8 | row.sheetY))
            << row.x << "," << row.y;
    }
}

TEST(Buttons, OnlyAFreshLeftPressInTheHitAreaActsAndHoverTakesTheSecondRow) {
    startDashboardTest();
    useTellingButtonSheet();
    const struct { // button 1 left, 2 middle, 3 right; state 2 pressed this frame, 1 held
        double fraction;
        int x, y, button, state;
        bool openBefore, hovered, openAfter, quits, saves;
    } rows[] = {{100, 156, 115, 1, 2, true, false, true, false, false},
                {100, 157, 115, 1, 2, true, true, false, false, false}, // "Resume game"
                {100, 482, 115, 1, 2, true, true, false, false, false},
                {100, 483, 115, 1, 2, true, false, true, false, false},
                {100, 300, 94, 1, 2, true, false, true, false, false},
                {100, 300, 95, 1, 2, true, true, false, false, false},
                {100, 300, 135, 1, 2, true, true, false, false, false},
                {100, 300, 136, 1, 2, true, false, true, false, false},
                {100, 300, 115, 3, 2, true, true, true, false, false},
                {100, 300, 115, 2, 2, true, true, true, false, false},
                {100, 300, 115, 1, 1, true, true, true, false, false},
                {100, 320, 165, 1, 2, true, true, true, true, false},    // "Exit"
                {100, 320, 215, 1, 2, true, true, true, false, true},    // "Save BMP screenshot"
                {50, 320, 375, 1, 2, true, true, false, false, false},   // "Resume game" at 355
                {60, 320, 307, 1, 2, false, true, false, false, false}}; // ... while closing
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
        EXPECT_EQ((screenRgb(row.x, row.y) >> 8 & 0xFF) >= 21, row.hovered);
        EXPECT_EQ(dashboardOpen, row.openAfter);
        EXPECT_EQ(dashboardFraction, row.fraction);
        EXPECT_EQ(quitRequested, row.quits);
        EXPECT_EQ(remove("screenshot1.bmp") == 0, row.saves);
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
        {"2026-09-23 10:09:08", "Wednesday September 23rd 2026", "10:09:08 AM"},
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

TEST(HeaderAndFooter, BandsFramesAndLinesSlideInWithTheFraction) {
    startDashboardTest();
    useTellingButtonSheet();
    fontImage = solidSheet(1425, 21, 0xFFFFFF);            // every glyph a white block
    topBottomBorderImage = solidSheet(640, 131, 0x323232); // first row red, last row green
    SDL_Rect first = {0, 0, 640, 1}, last = {0, 130, 640, 1};
    SDL_FillRect(topBottomBorderImage, &first, 0xFF0000);
    SDL_FillRect(topBottomBorderImage, &last, 0x00FF00);
    strptime("2026-09-23 00:00:00", "%Y-%m-%d %H:%M:%S", &localTimeNow); // the longest date line
    const int webEnd = 20 + 11 * int(std::strlen(webAddressText)) + 3;
    const struct {
        double fraction;
        bool timeKnown;
        int top, bottom; // the rows looked at
        bool (*what)(Uint32 rgb);
        Box box;
        int headerLast, footerFirst;
    } rows[] = {{100, true, 0, 37, white, {301, 18, 623, 37}, 60, 419},        // date line
                {100, true, 39, 80, white, {499, 39, 623, 58}, 60, 419},       // clock line
                {100, true, 100, 230, white, {216, 105, 428, 225}, 60, 419},   // button labels
                {100, true, 430, 479, white, {20, 442, webEnd, 462}, 60, 419}, // web address
                {100, true, 0, 479, fromSheet, {149, 87, 490, 243}, 60, 419},  // button frames
                {100, false, 0, 80, white, {-1, -1, -1, -1}, 60, 419},         // no time, no lines
                {107.5 / 15, true, 0, 40, white, {499, 0, 623, 2}, 4, 475}, // the clock's last rows
                {107.5 / 15, true, 5, 474, drawn, {-1, -1, -1, -1}, 4, 475}}; // nothing else yet
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.fraction << " rows " << row.top);
        dashboardFraction = row.fraction;
        localTimeKnown = row.timeKnown;
        paintScreen(0);
        drawDashboardButtons();
        drawHeaderAndFooter();
        EXPECT_EQ(boxWhere(row.top, row.bottom, row.what), row.box);
        EXPECT_EQ(screenRgb(5, row.headerLast), 0x00FF00u);  // the header band's last row
        EXPECT_EQ(screenRgb(5, row.footerFirst), 0xFF0000u); // the footer band's first row
    }
}
