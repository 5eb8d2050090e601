#include "sepa/CreditTransferValues.h"

#include <charconv>
#include <cstdio>

std::string FormatCreationDateAndTime(const CalendarTime& time)
{
    char text[64];
    std::snprintf(text,
                  sizeof text,
                  "%d-%02d-%02dT%02d:%02d:%02d",
                  time.year,
                  time.month,
                  time.day,
                  time.hour,
                  time.minute,
                  time.second);
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
    // to_chars never looks at a locale, so a program's locale with a decimal comma or digit
    // grouping cannot reach the file; it rounds as the fixed stream format does. It is also
    // cheap enough for one call per payment in batches of a hundred thousand, which a stream
    // with its own locale is not.
    char text[400]; // the longest double in fixed notation with two decimals fits
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, amount, std::chars_format::fixed, 2);
    return written.ec == std::errc() ? std::string(text, written.ptr) : std::string();
}
