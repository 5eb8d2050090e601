#include "CalendarDay.h"

#include <cstdio>

namespace tavrin_host {

bool ParseCalendarDay(const std::string& text, int firstYear, CalendarDay& day)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    int fields[3] = {};
    const size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int f = 0; f < 3; ++f) {
        for (size_t i = starts[f]; i < starts[f] + lengths[f]; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            fields[f] = fields[f] * 10 + (text[i] - '0');
        }
    }
    static const int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = fields[0], month = fields[1];
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < firstYear || month < 1 || month > 12) return false;
    const int monthDays = kDaysInMonth[month - 1] + (month == 2 && leap ? 1 : 0);
    if (fields[2] < 1 || fields[2] > monthDays) return false;
    day.year = year;
    day.month = month;
    day.day = fields[2];
    return true;
}

std::string FormatCalendarDay(const CalendarDay& day)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

} // namespace tavrin_host
