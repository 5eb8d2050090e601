#pragma once

// One moment as calendar fields, as the system clock reports it.
struct CalendarTime {
    int year;   // 0 to 9999 can be written
    int month;  // 1 to 12
    int day;    // 1 to 31
    int hour;   // 0 to 23
    int minute; // 0 to 59
    int second; // 0 to 59
};
