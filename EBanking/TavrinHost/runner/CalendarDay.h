#pragma once
// A calendar day written YYYY-MM-DD, as the runner reads it from its command line and batches.
#include <string>

namespace tavrin_host {

struct CalendarDay {
    int year = 0;
    int month = 0;
    int day = 0;
};

// True when text is exactly YYYY-MM-DD and names a day of the Gregorian calendar from the
// year firstYear on.
bool ParseCalendarDay(const std::string& text, int firstYear, CalendarDay& day);

// The day as YYYY-MM-DD.
std::string FormatCalendarDay(const CalendarDay& day);

} // namespace tavrin_host
