#include "SepaInfoFakes.h"

#include <oleauto.h>

#include <gtest/gtest.h>

DATE MakeDate(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    DATE date = 0.0;
    EXPECT_TRUE(SystemTimeToVariantTime(&fields, &date))
        << year << "-" << month << "-" << day;
    return date;
}
