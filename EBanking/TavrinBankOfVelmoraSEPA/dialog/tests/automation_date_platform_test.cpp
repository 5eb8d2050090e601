// The portable date conversions against the platform's own, which the dialog
// uses for its date field. Windows only.
#include "dialog/AutomationDate.h"

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace
{
// Compares one DATE both ways; returns false at the first difference so a
// broken conversion reports one line rather than thousands.
bool SplitsLikeThePlatform(DATE date)
{
    SYSTEMTIME platform{};
    const bool platformOk = VariantTimeToSystemTime(date, &platform) != FALSE;
    DateFields ours{};
    const bool oursOk = AutomationDateToCalendar(date, ours);
    EXPECT_EQ(platformOk, oursOk) << "accepting " << date;
    if (platformOk != oursOk)
        return false;
    if (!oursOk)
        return true;
    EXPECT_EQ(platform.wYear, ours.year) << date;
    EXPECT_EQ(platform.wMonth, ours.month) << date;
    EXPECT_EQ(platform.wDay, ours.day) << date;
    EXPECT_EQ(platform.wDayOfWeek, ours.dayOfWeek) << date;
    EXPECT_EQ(platform.wHour, ours.hour) << date;
    EXPECT_EQ(platform.wMinute, ours.minute) << date;
    EXPECT_EQ(platform.wSecond, ours.second) << date;
    return platform.wYear == ours.year && platform.wMonth == ours.month &&
           platform.wDay == ours.day && platform.wDayOfWeek == ours.dayOfWeek &&
           platform.wHour == ours.hour && platform.wMinute == ours.minute &&
           platform.wSecond == ours.second;
}

bool BuildsLikeThePlatform(const DateFields& t)
{
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(t.year);
    fields.wMonth = static_cast<WORD>(t.month);
    fields.wDay = static_cast<WORD>(t.day);
    fields.wHour = static_cast<WORD>(t.hour);
    fields.wMinute = static_cast<WORD>(t.minute);
    fields.wSecond = static_cast<WORD>(t.second);
    DATE platform = 0.0;
    DATE ours = 0.0;
    EXPECT_TRUE(SystemTimeToVariantTime(&fields, &platform));
    EXPECT_TRUE(CalendarToAutomationDate(t.year, t.month, t.day, t.hour, t.minute, t.second, ours));
    EXPECT_EQ(platform, ours) << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":"
                              << t.minute << ":" << t.second;
    return platform == ours;
}

TEST(AutomationDatePlatform, EveryDayFrom1800To2200AgreesAtSeveralTimes)
{
    // Times of day the date field can hold: whole seconds, as the platform
    // builds them from calendar fields. -1 stands for a pseudo-random second.
    const int secondsOfDay[] = {0, 1, 6 * 3600, 12 * 3600, 86399, -1};
    std::uint32_t mix = 12345;
    for (long serial = -36522; serial <= 109574; ++serial)
    {
        for (int seconds : secondsOfDay)
        {
            mix = mix * 1103515245u + 12345u;
            const int second = seconds < 0 ? static_cast<int>(mix % 86400u) : seconds;
            DateFields t{};
            ASSERT_TRUE(AutomationDateToCalendar(static_cast<double>(serial), t));
            t.hour = second / 3600;
            t.minute = second / 60 % 60;
            t.second = second % 60;
            ASSERT_TRUE(BuildsLikeThePlatform(t));

            DATE date = 0.0;
            ASSERT_TRUE(CalendarToAutomationDate(t.year, t.month, t.day, t.hour, t.minute,
                                                 t.second, date));
            ASSERT_TRUE(SplitsLikeThePlatform(date));
        }
    }
}

TEST(AutomationDatePlatform, EdgesOfTheRangeAndOddFractionsAgree)
{
    const double dates[] = {
        -657435.0, -657434.999, -657434.5, -657434.0, -657433.25,
        2958465.0, 2958465.5,   2958465.99, 2958466.0, 2958466.5,
        0.0,       -0.5,        -0.25,      -1.0,      -1.75,
        -5.9999884259259,       29221.9888884444,      29221.7508765432,
        29221.33333333,         45427.0 + 86399.4 / 86400.0,
        1e-12,     -1e-12,      45427.000001,          45427.4999999,
    };
    for (double date : dates)
        EXPECT_TRUE(SplitsLikeThePlatform(date)) << date;
}

// A time within half a second of midnight rounds up into the next day; the
// date fields must follow. (The day of the week is left out: the platform
// implementations disagree on it after such a roll.)
TEST(AutomationDatePlatform, RoundingIntoTheNextDayMovesTheDate)
{
    const double dates[] = {45427.0 + 86399.6 / 86400.0, 45351.0 + 86399.9 / 86400.0,
                            36891.0 + 86399.7 / 86400.0};
    for (double date : dates)
    {
        SYSTEMTIME platform{};
        DateFields ours{};
        ASSERT_TRUE(VariantTimeToSystemTime(date, &platform));
        ASSERT_TRUE(AutomationDateToCalendar(date, ours));
        EXPECT_EQ(platform.wYear, ours.year) << date;
        EXPECT_EQ(platform.wMonth, ours.month) << date;
        EXPECT_EQ(platform.wDay, ours.day) << date;
        EXPECT_EQ(0, ours.hour + ours.minute + ours.second) << date;
        EXPECT_EQ(0, platform.wHour + platform.wMinute + platform.wSecond) << date;
    }
}
} // namespace
