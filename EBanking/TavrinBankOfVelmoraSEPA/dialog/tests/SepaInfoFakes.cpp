#include "SepaInfoFakes.h"

#include <gtest/gtest.h>

DATE MakeDate(int year, int month, int day, int hour, int minute, int second)
{
    DATE date = 0.0;
    EXPECT_TRUE(CalendarToAutomationDate(year, month, day, hour, minute, second, date))
        << year << "-" << month << "-" << day;
    return date;
}
