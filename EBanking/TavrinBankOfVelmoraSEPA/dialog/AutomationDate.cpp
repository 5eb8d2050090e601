#include "dialog/AutomationDate.h"

#include <cmath>

namespace
{
// Serial day of 30 December 1899 counted from 1 March of year 0 in the
// proleptic Gregorian calendar, so that leap days fall at the end of a cycle.
constexpr long kEpochFromCivilZero = 693899;

long DaysFromCivil(long year, long month, long day)
{
    year -= month <= 2 ? 1 : 0;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - kEpochFromCivilZero;
}

void CivilFromDays(long serial, int& year, int& month, int& day)
{
    const long days = serial + kEpochFromCivilZero;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long dayOfEra = days - era * 146097;
    const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Serial 0 (30 December 1899) was a Saturday.
int DayOfWeek(long serial)
{
    return static_cast<int>(((serial % 7) + 7 + 6) % 7);
}
} // namespace

bool AutomationDateToCalendar(DATE date, DateFields& out)
{
    // The negated tests also turn NaN away.
    if (!(date > kFirstAutomationDay - 1.0) || !(date < kLastAutomationDay + 1.0))
        return false;

    const double wholeDays = std::trunc(date);
    long serial = static_cast<long>(wholeDays);

    // A hair is added before cutting the time into fields so that a value like
    // 0.75 stored as 0.7499999... still reads 18:00:00; it is taken back off
    // when it would make a whole day.
    double time = std::fabs(date - wholeDays) + 1e-11;
    if (time >= 1.0)
        time -= 1e-11;

    time *= 24.0;
    int hour = static_cast<int>(time);
    time = (time - hour) * 60.0;
    int minute = static_cast<int>(time);
    time = (time - minute) * 60.0;
    int second = static_cast<int>(time);
    if (time - second > 0.5 && ++second == 60)
    {
        second = 0;
        if (++minute == 60)
        {
            minute = 0;
            if (++hour == 24)
            {
                hour = 0;
                ++serial;
            }
        }
    }

    DateFields result{};
    CivilFromDays(serial, result.year, result.month, result.day);
    result.dayOfWeek = DayOfWeek(serial);
    result.hour = hour;
    result.minute = minute;
    result.second = second;
    out = result;
    return true;
}

bool CalendarToAutomationDate(int year, int month, int day, int hour, int minute,
                              int second, DATE& out)
{
    if (year < 100 || year > 9999 || month < 1 || month > 12)
        return false;
    if (day < 1 || day > DaysInMonth(year, month))
        return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;

    double date = static_cast<double>(DaysFromCivil(year, month, day));
    // Before the epoch the time of day still counts away from zero. The parts
    // are added one by one, as the platform does, so the results match bit
    // for bit.
    const double sign = date < 0.0 ? -1.0 : 1.0;
    date += hour / 24.0 * sign;
    date += minute / 1440.0 * sign;
    date += second / 86400.0 * sign;
    out = date;
    return true;
}
