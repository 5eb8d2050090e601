#pragma once
// Calendar days and times for the tests: as the platform's time fields and as automation dates.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

// The fields of a local time; the day of the week stays 0, as the conversions ignore it.
inline SYSTEMTIME LocalTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    SYSTEMTIME fields = {};
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    return fields;
}

// The automation date of the fields; fails the calling test on a day the platform rejects.
inline DATE DateOf(const SYSTEMTIME& fields)
{
    DATE date = 0.0;
    EXPECT_TRUE(SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&fields), &date))
        << fields.wYear << "-" << fields.wMonth << "-" << fields.wDay << " " << fields.wHour << ":" << fields.wMinute
        << ":" << fields.wSecond;
    return date;
}

inline DATE MakeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return DateOf(LocalTime(year, month, day, hour, minute, second));
}
