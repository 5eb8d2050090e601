#include "dialog/AutomationDate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
struct Expected
{
    DATE date;
    int year, month, day, dayOfWeek, hour, minute, second;
    const char* why;
};

TEST(AutomationDate, SplitsIntoCalendarFields)
{
    const Expected cases[] = {
        {0.0, 1899, 12, 30, 6, 0, 0, 0, "day zero was a Saturday"},
        {1.0, 1899, 12, 31, 0, 0, 0, 0, "then a Sunday"},
        {60.0, 1900, 2, 28, 3, 0, 0, 0, "1900 was not a leap year"},
        {61.0, 1900, 3, 1, 4, 0, 0, 0, ""},
        {29221.0, 1980, 1, 1, 2, 0, 0, 0, ""},
        {33238.0, 1990, 12, 31, 1, 0, 0, 0, ""},
        {36585.0, 2000, 2, 29, 2, 0, 0, 0, "2000 was a leap year"},
        {45351.0, 2024, 2, 29, 4, 0, 0, 0, ""},
        {45427.5, 2024, 5, 15, 3, 12, 0, 0, "noon"},
        {29221.25, 1980, 1, 1, 2, 6, 0, 0, ""},
        {29221.33333333, 1980, 1, 1, 2, 8, 0, 0, "a third of a day rounds to 8:00"},
        {29221.9888884444, 1980, 1, 1, 2, 23, 44, 0, ""},
        {29221.7508765432, 1980, 1, 1, 2, 18, 1, 16, ""},
        {-1.0, 1899, 12, 29, 5, 0, 0, 0, "before the epoch"},
        {-5.25, 1899, 12, 25, 1, 6, 0, 0, "the fraction counts forward from midnight"},
        {-5.9999884259259, 1899, 12, 25, 1, 23, 59, 59, ""},
        {-0.5, 1899, 12, 30, 6, 12, 0, 0, "between -1 and 0 is still day zero"},
        {-657434.0, 100, 1, 1, 5, 0, 0, 0, "first day"},
        {-657434.5, 100, 1, 1, 5, 12, 0, 0, ""},
        {2958465.0, 9999, 12, 31, 5, 0, 0, 0, "last day"},
        {2958465.75, 9999, 12, 31, 5, 18, 0, 0, ""},
        {45427.0 + 86399.4 / 86400.0, 2024, 5, 15, 3, 23, 59, 59, "rounds down"},
        {45427.0 + 86399.6 / 86400.0, 2024, 5, 16, 4, 0, 0, 0, "rounds up into the next day"},
        {45351.0 + 86399.6 / 86400.0, 2024, 3, 1, 5, 0, 0, 0, "and into the next month"},
    };
    for (const Expected& e : cases)
    {
        DateFields t{};
        ASSERT_TRUE(AutomationDateToCalendar(e.date, t)) << e.date;
        EXPECT_EQ(e.year, t.year) << e.date << " " << e.why;
        EXPECT_EQ(e.month, t.month) << e.date << " " << e.why;
        EXPECT_EQ(e.day, t.day) << e.date << " " << e.why;
        EXPECT_EQ(e.dayOfWeek, t.dayOfWeek) << e.date << " " << e.why;
        EXPECT_EQ(e.hour, t.hour) << e.date << " " << e.why;
        EXPECT_EQ(e.minute, t.minute) << e.date << " " << e.why;
        EXPECT_EQ(e.second, t.second) << e.date << " " << e.why;
    }
}

TEST(AutomationDate, RejectsDatesOutsideTheRangeAndNotANumber)
{
    const double rejected[] = {
        -657435.0,
        2958466.0,
        -1e300,
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
    };
    for (double date : rejected)
    {
        DateFields t{1, 2, 3, 4, 5, 6, 7};
        EXPECT_FALSE(AutomationDateToCalendar(date, t)) << date;
        EXPECT_EQ(1, t.year) << "output left alone";
    }
    DateFields t{};
    EXPECT_TRUE(AutomationDateToCalendar(-657434.99, t)) << "still 1 January 100";
    EXPECT_TRUE(AutomationDateToCalendar(2958465.99, t)) << "still 31 December 9999";
}

TEST(AutomationDate, BuildsDatesFromCalendarFields)
{
    DATE d = -1;
    EXPECT_TRUE(CalendarToAutomationDate(1899, 12, 30, 0, 0, 0, d));
    EXPECT_EQ(0.0, d);
    EXPECT_TRUE(CalendarToAutomationDate(1980, 1, 1, 18, 1, 16, d));
    EXPECT_DOUBLE_EQ(29221.75087962963, d);
    EXPECT_TRUE(CalendarToAutomationDate(1899, 12, 25, 6, 0, 0, d));
    EXPECT_EQ(-5.25, d);
    EXPECT_TRUE(CalendarToAutomationDate(100, 1, 1, 0, 0, 0, d));
    EXPECT_EQ(-657434.0, d);
    EXPECT_TRUE(CalendarToAutomationDate(9999, 12, 31, 0, 0, 0, d));
    EXPECT_EQ(2958465.0, d);

    struct Bad
    {
        int year, month, day, hour, minute, second;
    };
    const Bad bad[] = {
        {1900, 2, 29, 0, 0, 0}, {2023, 2, 29, 0, 0, 0}, {2024, 4, 31, 0, 0, 0},
        {2024, 0, 1, 0, 0, 0},  {2024, 13, 1, 0, 0, 0}, {2024, 1, 0, 0, 0, 0},
        {2024, 1, 1, 24, 0, 0}, {2024, 1, 1, 0, 60, 0}, {2024, 1, 1, 0, 0, 60},
        {99, 12, 31, 0, 0, 0},  {10000, 1, 1, 0, 0, 0}, {2024, 1, 1, -1, 0, 0},
    };
    for (const Bad& b : bad)
    {
        DATE untouched = 42.0;
        EXPECT_FALSE(CalendarToAutomationDate(b.year, b.month, b.day, b.hour, b.minute,
                                              b.second, untouched))
            << b.year << "-" << b.month << "-" << b.day << " " << b.hour << ":" << b.minute
            << ":" << b.second;
        EXPECT_EQ(42.0, untouched);
    }
}

// Every day of the whole range converts there and back, and the days of the
// week follow each other without a gap.
TEST(AutomationDate, EveryDayRoundTripsAndWeekdaysCycle)
{
    int previousDayOfWeek = 4; // 31 December 99 was a Thursday
    for (long serial = -657434; serial <= 2958465; ++serial)
    {
        const DATE date = static_cast<double>(serial) + (serial < 0 ? -0.5 : 0.5);
        DateFields t{};
        ASSERT_TRUE(AutomationDateToCalendar(date, t)) << serial;
        ASSERT_EQ((previousDayOfWeek + 1) % 7, t.dayOfWeek) << serial;
        previousDayOfWeek = t.dayOfWeek;
        DATE back = 0.0;
        ASSERT_TRUE(CalendarToAutomationDate(t.year, t.month, t.day, t.hour, t.minute,
                                             t.second, back))
            << serial;
        ASSERT_EQ(date, back) << serial;
    }
}
} // namespace
