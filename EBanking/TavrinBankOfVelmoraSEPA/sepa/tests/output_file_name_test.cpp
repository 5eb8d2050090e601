#include "sepa/OutputFileName.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
struct NameCase {
    CalendarTime time;
    const char* expected;
    const char* condition;
};

const NameCase kNameCases[] = {
    {{2014, 3, 6, 16, 3, 21}, "BOV20140306160321PAIN001", "afternoon, 24-hour clock"},
    {{2013, 1, 2, 3, 4, 5}, "BOV20130102030405PAIN001", "every field below ten is padded"},
    {{1999, 12, 31, 23, 59, 59}, "BOV19991231235959PAIN001", "largest value of every field"},
    {{2000, 1, 1, 0, 0, 0}, "BOV20000101000000PAIN001", "midnight"},
    {{987, 7, 8, 9, 10, 11}, "BOV09870708091011PAIN001", "a three-digit year keeps four digits"},
};

TEST(OutputFileName, WritesPrefixTimeStampAndSuffix)
{
    for (const NameCase& c : kNameCases) {
        char name[64];
        ASSERT_TRUE(FormatOutputFileName(c.time, name, sizeof name)) << c.condition;
        EXPECT_STREQ(c.expected, name) << c.condition;
        EXPECT_EQ(kOutputFileNameLength, std::strlen(name)) << c.condition;
    }
}

TEST(OutputFileName, TimeStampIsDateThenTime)
{
    char stamp[kTimeStampLength + 1];
    ASSERT_TRUE(FormatTimeStamp({2014, 3, 6, 16, 3, 21}, stamp, sizeof stamp));
    EXPECT_STREQ("20140306160321", stamp);
}

TEST(OutputFileName, RefusesFieldsOutsideTheirRange)
{
    const CalendarTime outOfRange[] = {
        {10000, 1, 1, 0, 0, 0},
        {-1, 1, 1, 0, 0, 0},
        {2014, 0, 1, 0, 0, 0},
        {2014, 13, 1, 0, 0, 0},
        {2014, 1, 0, 0, 0, 0},
        {2014, 1, 32, 0, 0, 0},
        {2014, 1, 1, 24, 0, 0},
        {2014, 1, 1, 0, 60, 0},
        {2014, 1, 1, 0, 0, 60},
        {2014, 1, 1, -1, 0, 0},
    };
    for (const CalendarTime& time : outOfRange) {
        char name[64] = "untouched";
        EXPECT_FALSE(FormatOutputFileName(time, name, sizeof name))
            << time.year << "-" << time.month << "-" << time.day << " " << time.hour << ":" << time.minute << ":"
            << time.second;
        EXPECT_STREQ("", name);
    }
}

// The buffer is followed by guard bytes that must survive every call.
TEST(OutputFileName, NeverWritesPastTheBuffer)
{
    const CalendarTime time{2014, 3, 6, 16, 3, 21};
    for (std::size_t size = 1; size <= kOutputFileNameLength + 1; ++size) {
        char memory[kOutputFileNameLength + 8];
        std::memset(memory, '#', sizeof memory);
        const bool written = FormatOutputFileName(time, memory, size);
        EXPECT_EQ(size == kOutputFileNameLength + 1, written) << "size " << size;
        if (!written) {
            EXPECT_EQ('\0', memory[0]) << "size " << size;
        }
        for (std::size_t i = size; i < sizeof memory; ++i)
            ASSERT_EQ('#', memory[i]) << "size " << size << ", byte " << i;
    }

    char stamp[kTimeStampLength + 4];
    std::memset(stamp, '#', sizeof stamp);
    EXPECT_FALSE(FormatTimeStamp(time, stamp, kTimeStampLength));
    EXPECT_EQ('\0', stamp[0]);
    EXPECT_EQ('#', stamp[kTimeStampLength]);
}

TEST(OutputFileName, NullBufferIsRefused)
{
    EXPECT_FALSE(FormatOutputFileName({2014, 3, 6, 16, 3, 21}, nullptr, 64));
    EXPECT_FALSE(FormatTimeStamp({2014, 3, 6, 16, 3, 21}, nullptr, 64));
}
}
