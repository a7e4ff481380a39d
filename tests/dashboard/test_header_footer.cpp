// Header and footer: the date and clock lines, the ordinals, and where the bands and lines
// stand as the dashboard slides.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dashboard/controller.h"
#include "dashboard/header_footer.h"
#include "dashboard/state.h"
#include "dashboard_fixture.h"
#include "gfx/text.h"

namespace {

std::tm timeOf(int hour, int minute, int second) {
    std::tm time = {};
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

std::string clockOf(int hour, int minute, int second) {
    char text[DateLineCapacity];
    clockLine(timeOf(hour, minute, second), text, sizeof text);
    return text;
}

std::tm dateOf(int weekday, int day, int month, int year) {
    std::tm time = {};
    time.tm_wday = weekday;
    time.tm_mday = day;
    time.tm_mon = month;
    time.tm_year = year - 1900;
    return time;
}

std::string dateOfText(const std::tm& time) {
    char text[DateLineCapacity];
    dateLine(time, text, sizeof text);
    return text;
}

} // namespace

TEST(ClockLine, TwelveHourClockWithTwoDigitMinutesAndSeconds) {
    EXPECT_EQ(clockOf(0, 0, 0), "12:00:00 AM");
    EXPECT_EQ(clockOf(12, 30, 0), "12:30:00 PM");
    EXPECT_EQ(clockOf(13, 0, 9), "1:00:09 PM");
    EXPECT_EQ(clockOf(23, 59, 59), "11:59:59 PM");
    EXPECT_EQ(clockOf(9, 5, 7), "9:05:07 AM");
    EXPECT_EQ(clockOf(14, 7, 3), "2:07:03 PM");
    EXPECT_EQ(clockOf(11, 10, 10), "11:10:10 AM");
}

TEST(DateLine, WeekdayMonthOrdinalAndYear) {
    EXPECT_EQ(dateOfText(dateOf(6, 5, 11, 2026)), "Saturday December 5th 2026");
    EXPECT_EQ(dateOfText(dateOf(0, 1, 0, 2027)), "Sunday January 1st 2027");
    const std::string longest = dateOfText(dateOf(3, 23, 8, 2026));
    EXPECT_EQ(longest, "Wednesday September 23rd 2026");
    EXPECT_EQ(longest.size(), 29u);
}

TEST(DateLine, OrdinalsEndInStNdRdOnlyWhereEnglishSaysSo) {
    const struct {
        int day;
        const char* ordinal;
    } cases[] = {{1, "1st"},   {2, "2nd"},   {3, "3rd"},   {4, "4th"},
                 {11, "11th"}, {12, "12th"}, {13, "13th"}, {21, "21st"},
                 {22, "22nd"}, {23, "23rd"}, {30, "30th"}, {31, "31st"}};
    for (const auto& c : cases) {
        EXPECT_STREQ(dayOrdinals[c.day], c.ordinal);
    }
}

namespace {

// Bands of 640 x 131 whose first row is red, row 70 green and last row blue, and a font of
// opaque white cells.
void useOwnBandsAndFont() {
    topBottomBorderImage =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 131, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(topBottomBorderImage, nullptr, mapRgb(topBottomBorderImage, 50, 50, 50));
    SDL_Rect row = {0, 0, 640, 1};
    SDL_FillRect(topBottomBorderImage, &row, mapRgb(topBottomBorderImage, 255, 0, 0));
    row.y = 70;
    SDL_FillRect(topBottomBorderImage, &row, mapRgb(topBottomBorderImage, 0, 255, 0));
    row.y = 130;
    SDL_FillRect(topBottomBorderImage, &row, mapRgb(topBottomBorderImage, 0, 0, 255));
    useBlockFont();
}

class HeaderAndFooter : public ::testing::Test {
  protected:
    void SetUp() override {
        startDashboardTest(32);
        useOwnBandsAndFont();
        fillScreen(0, 0, 0);
        dashboardOpen = true;
        localTimeNow = dateOf(3, 23, 8, 2026);
        localTimeNow.tm_hour = 0;
        localTimeKnown = true;
    }
};

} // namespace

TEST_F(HeaderAndFooter, FullyOpenBandsAndLinesStandInPlace) {
    dashboardFraction = 100.0;
    drawHeaderAndFooter();
    EXPECT_EQ(screenRgb(5, 0), 0x00FF00u);   // header row 70 at the top of the window
    EXPECT_EQ(screenRgb(5, 60), 0x0000FFu);  // its last row
    EXPECT_EQ(screenRgb(5, 419), 0xFF0000u); // the footer's first row
    // "Wednesday September 23rd 2026": 29 bytes ending at 620, top 18.
    EXPECT_EQ(screenRgb(300, 25), 0x323232u);
    EXPECT_EQ(screenRgb(301, 25), 0xFFFFFFu);
    EXPECT_EQ(screenRgb(301, 18), 0xFFFFFFu);
    EXPECT_EQ(screenRgb(301, 17), 0x323232u);
    EXPECT_EQ(screenRgb(623, 25), 0xFFFFFFu);
    EXPECT_EQ(screenRgb(624, 25), 0x323232u);
    // "12:00:00 AM", 11 bytes: the pen starts at 499, top 38.
    EXPECT_EQ(screenRgb(498, 45), 0x323232u);
    EXPECT_EQ(screenRgb(499, 45), 0xFFFFFFu);
    EXPECT_EQ(screenRgb(499, 38), 0xFFFFFFu);
    // The web address from x 20, top 442.
    EXPECT_EQ(screenRgb(19, 450), 0x323232u);
    EXPECT_EQ(screenRgb(20, 450), 0xFFFFFFu);
    EXPECT_EQ(screenRgb(20, 441), 0x323232u);
    EXPECT_EQ(screenRgb(20, 442), 0xFFFFFFu);
}

TEST_F(HeaderAndFooter, FirstOpeningFrameHasTheOffsetAt56) {
    dashboardFraction = OpenStep(0.0);
    drawHeaderAndFooter();
    // Header top at -126: its last row lands on row 4; the date line (top -38) stays out; only
    // the clock's bottom three rows (top -18) show.
    EXPECT_EQ(screenRgb(5, 4), 0x0000FFu);
    EXPECT_EQ(screenRgb(5, 5), 0u);
    EXPECT_EQ(screenRgb(499, 2), 0xFFFFFFu);
    EXPECT_EQ(screenRgb(499, 3), 0x323232u);
    EXPECT_EQ(screenRgb(5, 475), 0xFF0000u);
    EXPECT_EQ(screenRgb(5, 474), 0u);
}

TEST_F(HeaderAndFooter, UnknownTimeLeavesTheDateAndClockOut) {
    dashboardFraction = 100.0;
    localTimeKnown = false;
    localTimeNow.tm_wday = 99; // nothing may read it
    drawHeaderAndFooter();
    for (int x = 290; x < 630; ++x) {
        ASSERT_EQ(screenRgb(x, 25), 0x323232u) << x;
        ASSERT_EQ(screenRgb(x, 45), 0x323232u) << x;
    }
    EXPECT_EQ(screenRgb(20, 450), 0xFFFFFFu); // the footer line is still there
}

TEST(HeaderClock, VisibleFramesTakeTheLocalTime) {
    startDashboardTest(32);
    runFrameLasting(16);
    EXPECT_FALSE(localTimeKnown);
    runFrameWithEscape();
    ASSERT_TRUE(localTimeKnown);
    const std::time_t now = std::time(nullptr);
    std::tm expected = {};
    localtime_r(&now, &expected);
    EXPECT_EQ(localTimeNow.tm_year, expected.tm_year);
    EXPECT_EQ(localTimeNow.tm_yday, expected.tm_yday);
    EXPECT_EQ(localTimeNow.tm_hour, expected.tm_hour);
}
