#pragma once
// Whether the payment details dialog's date picker can show a batch's execution date. The dialog
// loads the host's date into its picker, and a picker that cannot take it shows another day,
// which the user would then confirm unawares. So a hidden picker of this process, from the same
// common controls library as the dialog's, is asked first, as --date is checked in the dialog.
#include "CalendarDay.h"

#include "common/UniqueResource.h"

#include <windows.h>

#include <map>

namespace tavrin_host {

class BatchDatePicker {
public:
    // True when the picker shows the day as the dialog hands it over: the host's date at midnight.
    bool Shows(const CalendarDay& day);

private:
    UniqueResource<HWND, &DestroyWindow> m_picker; // made on first use
    std::map<int, bool> m_verdicts;                // by YYYYMMDD: a batch holds few distinct days
};

} // namespace tavrin_host
