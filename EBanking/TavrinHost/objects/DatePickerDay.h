#pragma once
// The one test of whether a date picker can show a day: it takes the day and reads the same day
// back. A picker refuses some days outside its range and shows another day for others.
#include <windows.h>

namespace tavrin_host {

// Sets the picker to day (with its time of day); true when the picker then holds that day.
bool ShowDayInPicker(HWND picker, const SYSTEMTIME& day);

} // namespace tavrin_host
