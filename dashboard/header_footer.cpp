// The dashboard's header (date and clock) and footer (web address).
#include "dashboard/header_footer.h"

#include <SDL.h>

#include <cstdio>

#include "dashboard/media.h"
#include "dashboard/state.h"
#include "gfx/text.h"
#include "platform/display.h"

std::tm localTimeNow = {};
bool localTimeKnown = false;
std::time_t (*queryCalendarTime)() = [] { return std::time(nullptr); };

const char* const weekdayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
const char* const monthNames[12] = {"January",   "February", "March",    "April",
                                    "May",       "June",     "July",     "August",
                                    "September", "October",  "November", "December"};
const char* const dayOrdinals[32] = {
    "",     "1st",  "2nd",  "3rd",  "4th",  "5th",  "6th",  "7th",  "8th",  "9th",  "10th",
    "11th", "12th", "13th", "14th", "15th", "16th", "17th", "18th", "19th", "20th", "21st",
    "22nd", "23rd", "24th", "25th", "26th", "27th", "28th", "29th", "30th", "31st"};
const char* const webAddressText = "www.glimm-game.example";

namespace {

constexpr int HeaderTop = -70;
constexpr int FooterTop = 419;
constexpr int TextRight = 620;

// A field outside its table (a broken-down time the C library should never give) reads as "".
const char* entryOf(const char* const* table, int count, int index) {
    return index >= 0 && index < count ? table[index] : "";
}

void blitBand(int y) {
    if (topBottomBorderImage == nullptr) {
        return;
    }
    SDL_Rect target = {0, static_cast<Sint16>(y), 0, 0};
    SDL_UpperBlit(topBottomBorderImage, nullptr, screen, &target);
}

} // namespace

// A clock the C library cannot convert leaves the date and time out of this frame.
void refreshLocalTime() {
    const std::time_t now = queryCalendarTime();
    localTimeKnown = localtime_r(&now, &localTimeNow) != nullptr;
}

void dateLine(const std::tm& time, char* text, std::size_t capacity) {
    std::snprintf(text, capacity, "%s%s%s%s%s%s%d", entryOf(weekdayNames, 7, time.tm_wday), " ",
                  entryOf(monthNames, 12, time.tm_mon), " ", entryOf(dayOrdinals, 32, time.tm_mday),
                  " ", time.tm_year + 1900);
}

void clockLine(const std::tm& time, char* text, std::size_t capacity) {
    const int hour = time.tm_hour;
    const int shownHour = hour > 12 ? hour - 12 : (hour == 0 ? 12 : hour);
    std::snprintf(text, capacity, "%d:%s%d:%s%d%s", shownHour, time.tm_min < 10 ? "0" : "",
                  time.tm_min, time.tm_sec < 10 ? "0" : "", time.tm_sec,
                  hour >= 12 ? " PM" : " AM");
}

void drawHeaderAndFooter() {
    const int yOff = slidePosition(61, 0);
    blitBand(HeaderTop - yOff);
    if (localTimeKnown) {
        char text[DateLineCapacity];
        dateLine(localTimeNow, text, sizeof text);
        drawText(screen, TextRight, static_cast<Sint16>(18 - yOff), text, AlignRight);
        clockLine(localTimeNow, text, sizeof text);
        drawText(screen, TextRight, static_cast<Sint16>(38 - yOff), text, AlignRight);
    }
    blitBand(FooterTop + yOff);
    drawText(screen, 20, static_cast<Sint16>(442 + yOff), webAddressText, AlignLeft);
}
