#pragma once

#include "common/FileNames.h"
#include "sepa/CalendarTime.h"

#include <cstddef>

// "yyyyMMddHHmmss"
constexpr std::size_t kTimeStampLength = 14;

// Prefix + time stamp + suffix, without an extension.
constexpr std::size_t kOutputFileNameLength =
    sizeof kOutputFileNamePrefix - 1 + kTimeStampLength + sizeof kOutputFileNameSuffix - 1;

// Writes the time stamp and its terminator into buffer. Fails, leaving an
// empty string when the buffer has room for one, if a field is out of range
// or the buffer holds fewer than kTimeStampLength + 1 bytes.
bool FormatTimeStamp(const CalendarTime& time, char* buffer, std::size_t bufferSize);

// Writes the output file name, e.g. BOV20140306160321PAIN001, and its
// terminator into buffer; fails as FormatTimeStamp does.
bool FormatOutputFileName(const CalendarTime& time, char* buffer, std::size_t bufferSize);
