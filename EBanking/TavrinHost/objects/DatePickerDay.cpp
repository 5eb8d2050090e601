#include "DatePickerDay.h"

#include <commctrl.h>

namespace tavrin_host {

bool ShowDayInPicker(HWND picker, const SYSTEMTIME& day)
{
    if (!SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&day))) return false;
    SYSTEMTIME shown{};
    return SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)) == GDT_VALID &&
           shown.wYear == day.wYear && shown.wMonth == day.wMonth && shown.wDay == day.wDay;
}

} // namespace tavrin_host
