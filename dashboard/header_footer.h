// The dashboard's header band with the date and a running clock, and its footer band with the
// web address line; both slide in from outside the window.
#pragma once

#include <cstddef>
#include <ctime>

// The local time shown by the header, refreshed in every visible frame; localTimeKnown is false
// when the clock could not be converted this frame, and then nothing reads localTimeNow.
extern std::tm localTimeNow;
extern bool localTimeKnown;
// The one place the calendar clock is asked; std::time unless a test stands in.
extern std::time_t (*queryCalendarTime)();

// Called by the dashboard step in every visible frame, before the buttons: reads the calendar
// time into localTimeNow. A frame that is not drawn again reads it too, to see the clock turn.
void refreshLocalTime();
// Called by the dashboard step in every visible frame, after the buttons and after
// refreshLocalTime: the two bands, the date and clock lines (when the time is known) and the
// web address.
void drawHeaderAndFooter();

// ---- Exported for the tests only ----

// Holds the longest date line, "Wednesday September 23rd 2026" (29 bytes), and any year that
// fits an int.
constexpr std::size_t DateLineCapacity = 48;

// Constant text tables, named like the game's other tables rather than as constants.
// NOLINTBEGIN(readability-identifier-naming)
extern const char* const weekdayNames[7]; // 0 = Sunday
extern const char* const monthNames[12];  // 0 = January
extern const char* const dayOrdinals[32]; // by day of month; entry 0 is never used
extern const char* const webAddressText;  // the footer line
// NOLINTEND(readability-identifier-naming)

// "Saturday December 5th 2026" for the given local time, into text. Called by the header.
void dateLine(const std::tm& time, char* text, std::size_t capacity);
// "2:07:03 PM": 12-hour clock, two-digit minutes and seconds. Called by the header.
void clockLine(const std::tm& time, char* text, std::size_t capacity);
