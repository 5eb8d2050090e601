#include "sepa/OutputFileName.h"

#include <cstdio>
#include <cstring>

namespace {
bool InRange(int value, int low, int high) { return value >= low && value <= high; }

bool IsWritable(const CalendarTime& time)
{
    return InRange(time.year, 0, 9999) && InRange(time.month, 1, 12) && InRange(time.day, 1, 31) &&
           InRange(time.hour, 0, 23) && InRange(time.minute, 0, 59) && InRange(time.second, 0, 59);
}

bool Fail(char* buffer, std::size_t bufferSize)
{
    if (buffer != nullptr && bufferSize > 0) buffer[0] = '\0';
    return false;
}
}

bool FormatTimeStamp(const CalendarTime& time, char* buffer, std::size_t bufferSize)
{
    if (buffer == nullptr || bufferSize < kTimeStampLength + 1 || !IsWritable(time)) return Fail(buffer, bufferSize);
    std::snprintf(buffer,
                  bufferSize,
                  kOutputFileTimeStampFormat,
                  time.year,
                  time.month,
                  time.day,
                  time.hour,
                  time.minute,
                  time.second);
    return true;
}

bool FormatOutputFileName(const CalendarTime& time, char* buffer, std::size_t bufferSize)
{
    char stamp[kTimeStampLength + 1];
    if (buffer == nullptr || bufferSize < kOutputFileNameLength + 1 || !FormatTimeStamp(time, stamp, sizeof stamp))
        return Fail(buffer, bufferSize);
    std::snprintf(buffer, bufferSize, "%s%s%s", kOutputFileNamePrefix, stamp, kOutputFileNameSuffix);
    return true;
}
