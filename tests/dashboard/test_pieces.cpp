// The dashboard's pieces: the buttons (frame, hit area, hover, actions), the date and clock
// lines, and where the bands and every line of text stand as the dashboard slides.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/stat.h>

#include "dashboard/buttons.h"
#include "dashboard/header_footer.h"
#include "dashboard_fixture.h"

namespace {

// A button sheet whose every pixel tells where it came from: red = sheet x, green = sheet y.
void useTellingButtonSheet() {
    buttonImage = solidSheet(189, 42, 0);
    for (int y = 0; y < 42; ++y) {
        for (int x = 0; x < 189; ++x) {
            SDL_Rect dot = {Sint16(x), Sint16(y), 1, 1};
            SDL_FillRect(buttonImage, &dot, Uint32(x << 16 | y << 8 | 255));
        }
    }
}

bool fromSheet(Uint32 rgb) {
    return (rgb & 0xFF) == 255;
}
bool white(Uint32 rgb) {
    return rgb == 0xFFFFFF;
}

std::tm timeOf(int weekday, int day, int month, int year, int hour, int minute, int second) {
    std::tm time = {};
    time.tm_wday = weekday;
    time.tm_mday = day;
    time.tm_mon = month;
    time.tm_year = year - 1900;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

} // namespace

TEST(Buttons, FrameIsTwelvePiecesAroundTheInterior) {
    startDashboardTest(32);
    useTellingButtonSheet();
    drawButtonFrame(170, 108, 0);
    EXPECT_EQ(boxWhere(0, 479, fromSheet), (Box{149, 87, 490, 143}));
    const struct {
        int x, y, sheetX, sheetY;
    } rows[] = {{149, 87, 0, 0},    {169, 143, 41, 20},  {490, 87, 62, 0},    {490, 143, 83, 20},
                {463, 123, 104, 0}, {464, 123, 84, 0},   {470, 108, 105, 0},  {490, 122, 125, 14},
                {191, 87, 126, 0},  {469, 107, 131, 20}, {149, 122, 147, 14}, {469, 122, 173, 14}};
    for (const auto& row : rows) {
        EXPECT_EQ(screenRgb(row.x, row.y) >> 8, Uint32(row.sheetX << 8 | row.sheetY))
            << row.x << "," << row.y;
    }
}

TEST(Buttons, OnlyAFreshLeftPressInsideTheHitAreaClicksAndHoverUsesTheSecondRow) {
    startDashboardTest(32);
    useTellingButtonSheet();
    const struct {
        int x, y, button, state;
        bool hovered, clicked;
    } rows[] = {{156, 115, SDL_BUTTON_LEFT, KeyPressed, false, false},
                {157, 115, SDL_BUTTON_LEFT, KeyPressed, true, true},
                {482, 115, SDL_BUTTON_LEFT, KeyPressed, true, true},
                {483, 115, SDL_BUTTON_LEFT, KeyPressed, false, false},
                {300, 94, SDL_BUTTON_LEFT, KeyPressed, false, false},
                {300, 95, SDL_BUTTON_LEFT, KeyPressed, true, true},
                {300, 135, SDL_BUTTON_LEFT, KeyPressed, true, true},
                {300, 136, SDL_BUTTON_LEFT, KeyPressed, false, false},
                {300, 115, SDL_BUTTON_RIGHT, KeyPressed, true, false},
                {300, 115, SDL_BUTTON_MIDDLE, KeyPressed, true, false},
                {300, 115, SDL_BUTTON_LEFT, KeyHeld, true, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.x << "," << row.y << " button " << row.button);
        pointerX[0] = row.x;
        pointerY[0] = row.y;
        mouseButtonState[row.button] = row.state;
        EXPECT_EQ(drawButton(115, "Resume game"), row.clicked);
        EXPECT_EQ((screenRgb(300, 110) >> 8 & 0xFF) >= 21, row.hovered);
        mouseButtonState[row.button] = KeyUp;
    }
}

TEST(Buttons, LeftPressActsOnTheButtonWhereItStandsAtThisFraction) {
    startDashboardTest(32);
    const struct {
        double fraction;
        bool openBefore;
        int y;
        bool openAfter, quits, saves;
    } rows[] = {{100, true, 115, false, false, false},        // "Resume game"
                {100, true, 165, true, true, false},          // "Exit"
                {100, true, 215, true, false, true},          // "Save BMP screenshot"
                {50, true, 375, false, false, false},         // "Resume game" on its way up (355)
                {60, false, 307, false, false, false},        // "Resume game" while closing
                {107.5 / 15, true, 479, true, false, false}}; // nothing up yet (560)
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.fraction << " y " << row.y);
        dashboardFraction = row.fraction;
        dashboardOpen = row.openBefore;
        quitRequested = false;
        pointerX[0] = 320;
        pointerY[0] = row.y;
        mouseButtonState[SDL_BUTTON_LEFT] = KeyPressed;
        drawDashboardButtons();
        EXPECT_EQ(dashboardOpen, row.openAfter);
        EXPECT_EQ(dashboardFraction, row.fraction);
        EXPECT_EQ(quitRequested, row.quits);
        EXPECT_EQ(remove("screenshot1.bmp") == 0, row.saves);
    }
}

TEST(HeaderAndFooter, DateAndClockLines) {
    const struct {
        int weekday, day, month, year, hour, minute, second;
        const char *date, *clock;
    } rows[] = {{6, 1, 0, 2028, 0, 0, 0, "Saturday January 1st 2028", "12:00:00 AM"},
                {3, 2, 1, 2028, 12, 30, 0, "Wednesday February 2nd 2028", "12:30:00 PM"},
                {5, 3, 2, 2028, 13, 0, 9, "Friday March 3rd 2028", "1:00:09 PM"},
                {2, 4, 3, 2028, 23, 59, 59, "Tuesday April 4th 2028", "11:59:59 PM"},
                {4, 11, 4, 2028, 9, 5, 7, "Thursday May 11th 2028", "9:05:07 AM"},
                {1, 12, 5, 2028, 11, 10, 10, "Monday June 12th 2028", "11:10:10 AM"},
                {4, 13, 6, 2028, 14, 7, 3, "Thursday July 13th 2028", "2:07:03 PM"},
                {1, 21, 7, 2028, 1, 0, 0, "Monday August 21st 2028", "1:00:00 AM"},
                {3, 23, 8, 2026, 10, 9, 8, "Wednesday September 23rd 2026", "10:09:08 AM"},
                {0, 22, 9, 2028, 12, 0, 59, "Sunday October 22nd 2028", "12:00:59 PM"},
                {4, 23, 10, 2028, 20, 45, 30, "Thursday November 23rd 2028", "8:45:30 PM"},
                {0, 31, 11, 2028, 0, 59, 1, "Sunday December 31st 2028", "12:59:01 AM"}};
    for (const auto& row : rows) {
        const std::tm time =
            timeOf(row.weekday, row.day, row.month, row.year, row.hour, row.minute, row.second);
        char text[DateLineCapacity];
        dateLine(time, text, sizeof text);
        EXPECT_STREQ(text, row.date);
        clockLine(time, text, sizeof text);
        EXPECT_STREQ(text, row.clock);
    }
}

TEST(HeaderAndFooter, BandsAndLinesSlideInWithTheFraction) {
    startDashboardTest(32);
    fontImage = solidSheet(1425, 21, 0xFFFFFF); // every glyph a white block
    // A band whose first row is red and last row (130) blue.
    topBottomBorderImage = solidSheet(640, 131, 0x323232);
    SDL_Rect first = {0, 0, 640, 1}, last = {0, 130, 640, 1};
    SDL_FillRect(topBottomBorderImage, &first, 0xFF0000);
    SDL_FillRect(topBottomBorderImage, &last, 0x0000FF);
    localTimeNow = timeOf(3, 23, 8, 2026, 0, 0, 0); // the longest date line, at 12:00:00 AM
    const int webEnd = 20 + 11 * int(std::strlen(webAddressText)) + 3;
    const struct {
        double fraction;
        bool timeKnown;
        int top, bottom; // the rows looked at
        Box text;        // where the white text lies in them
        int headerLast, footerFirst;
    } rows[] = {{100, true, 0, 37, {301, 18, 623, 37}, 60, 419},        // date line
                {100, true, 39, 80, {499, 39, 623, 58}, 60, 419},       // clock line
                {100, true, 100, 130, {260, 105, 384, 125}, 60, 419},   // "Resume game"
                {100, true, 150, 180, {298, 155, 345, 175}, 60, 419},   // "Exit"
                {100, true, 200, 230, {216, 205, 428, 225}, 60, 419},   // "Save BMP screenshot"
                {100, true, 430, 479, {20, 442, webEnd, 462}, 60, 419}, // web address
                {107.5 / 15, true, 0, 40, {499, 0, 623, 2}, 4, 475},    // the clock's last rows
                {107.5 / 15, true, 41, 479, {-1, -1, -1, -1}, 4, 475},  // nothing else yet
                {100, false, 0, 80, {-1, -1, -1, -1}, 60, 419}};        // no time, no lines
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.fraction << " rows " << row.top);
        dashboardFraction = row.fraction;
        localTimeKnown = row.timeKnown;
        paintScreen(0);
        drawDashboardButtons();
        drawHeaderAndFooter();
        EXPECT_EQ(boxWhere(row.top, row.bottom, white), row.text);
        EXPECT_EQ(screenRgb(5, row.headerLast), 0x0000FFu);
        EXPECT_EQ(screenRgb(5, row.headerLast + 1), 0u);
        EXPECT_EQ(screenRgb(5, row.footerFirst), 0xFF0000u);
        EXPECT_EQ(screenRgb(5, row.footerFirst - 1), 0u);
    }
}
