#pragma once

// The automation date (DATE): days since 30 December 1899 as a double, the
// fraction being the time of day. Before that day the whole days count back
// and the fraction still counts forward from midnight, so -1.25 is
// 29 December 1899 at 06:00. The conversions here follow the platform's
// variant-time conversions without needing them, so the rules that use them
// also build and run off Windows.

#ifdef _WIN32
#include <wtypes.h>
#else
typedef double DATE;
#endif

// Calendar fields of a DATE, like a SYSTEMTIME without milliseconds.
struct DateFields
{
    int year;
    int month;     // 1 to 12
    int day;       // 1 to 31
    int dayOfWeek; // 0 Sunday to 6 Saturday
    int hour;
    int minute;
    int second;
};

// First and last day a DATE may carry: 1 January 100 and 31 December 9999.
constexpr double kFirstAutomationDay = -657434.0;
constexpr double kLastAutomationDay = 2958465.0;

// Splits a DATE into calendar fields, rounding the time to the nearest second
// (a time that rounds up to midnight moves to the next day). Returns false,
// leaving `out` untouched, for NaN and for dates outside the years 100 to 9999.
bool AutomationDateToCalendar(DATE date, DateFields& out);

// Builds a DATE from a calendar day and a time of day. Returns false, leaving
// `out` untouched, when a field is out of range, the day does not exist in
// that month, or the year lies outside 100 to 9999.
bool CalendarToAutomationDate(int year, int month, int day, int hour, int minute,
                              int second, DATE& out);
