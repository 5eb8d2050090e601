#pragma once
// The texts of the credit transfer document's date, time and amount values. Plain C++: the
// values must read the same whatever the user's regional settings are.
#include "sepa/CalendarTime.h"

#include <string>

// "yyyy-MM-ddTHH:mm:ss", the year as a plain number, e.g. 2013-05-21T09:03:04.
std::string FormatCreationDateAndTime(const CalendarTime& time);

// "yyyy-MM-dd", the year as a plain number, e.g. 2014-03-05. A date that could not be read
// from the host is passed as -1 in every field and gives "-1--1--1".
std::string FormatExecutionDate(int year, int month, int day);

// Fixed point with exactly two decimals, "." as separator, no grouping, a leading "-" when
// negative, rounded as the standard streams round: 1234.5 gives 1234.50, 1e6 gives 1000000.00.
std::string FormatAmount(double amount);
