#include "sepa/CreditTransferValues.h"

#include <cstdio>
#include <iomanip>
#include <locale>
#include <sstream>

std::string FormatCreationDateAndTime(const CalendarTime& time)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02dT%02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

std::string FormatExecutionDate(int year, int month, int day)
{
    char text[48];
    std::snprintf(text, sizeof text, "%d-%02d-%02d", year, month, day);
    return text;
}

std::string FormatAmount(double amount)
{
    // The classic locale, not the global one: a program may have set a locale whose decimal
    // separator is a comma or that groups thousands.
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(2) << amount;
    return text.str();
}
