#include "BatchDatePicker.h"

#include "DatePickerDay.h"

#include <commctrl.h>
#include <oleauto.h>

namespace tavrin_host {

bool BatchDatePicker::Shows(const CalendarDay& day)
{
    const int key = (day.year * 100 + day.month) * 100 + day.day;
    const auto known = m_verdicts.find(key);
    if (known != m_verdicts.end()) return known->second;

    if (!m_picker) {
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
        InitCommonControlsEx(&classes);
        *m_picker.Receive() = CreateWindowExW(0,
                                              DATETIMEPICK_CLASSW,
                                              nullptr,
                                              WS_POPUP,
                                              0,
                                              0,
                                              100,
                                              20,
                                              nullptr,
                                              nullptr,
                                              GetModuleHandleW(nullptr),
                                              nullptr);
    }
    // The same day the dialog gives its picker: the host's automation date, back as calendar fields.
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(day.year);
    fields.wMonth = static_cast<WORD>(day.month);
    fields.wDay = static_cast<WORD>(day.day);
    DATE date = 0.0;
    const bool shown = m_picker && SystemTimeToVariantTime(&fields, &date) && VariantTimeToSystemTime(date, &fields) &&
                       ShowDayInPicker(m_picker.Get(), fields);
    m_verdicts.emplace(key, shown);
    return shown;
}

} // namespace tavrin_host
