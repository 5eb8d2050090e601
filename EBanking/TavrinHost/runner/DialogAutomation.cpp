#include "DialogAutomation.h"

namespace tavrin_host {
namespace {

// What the options have the user type into the dialog.
PaymentDialogInput DialogInputFrom(const RunnerOptions& options)
{
    PaymentDialogInput input;
    int year = 0, month = 0, day = 0;
    // The options were checked when read; a day that does not parse is not picked.
    input.dateGiven = options.dateGiven && ParseDay(options.date, year, month, day);
    input.date.wYear = static_cast<WORD>(year);
    input.date.wMonth = static_cast<WORD>(month);
    input.date.wDay = static_cast<WORD>(day);
    input.oinGiven = options.oinGiven;
    input.oin = options.oin;
    input.saveGiven = options.saveGiven;
    input.save = options.save;
    input.cancel = options.cancel;
    return input;
}

} // namespace

DialogAutomation::DialogAutomation(const RunnerOptions& options)
{
    if (options.automatic) m_user = std::make_unique<PaymentDialogUser>(DialogInputFrom(options));
}

DialogAutomation::~DialogAutomation() = default;

int DialogAutomation::AnswerFor(const MessageBoxRecord& box, HWND window)
{
    if (m_user) return m_user->AnswerFor(box, window);
    return GetDlgItem(window, IDOK) ? IDOK : IDCANCEL;
}

const std::wstring& DialogAutomation::ConfirmedPath() const
{
    return m_user ? m_user->ConfirmedPath() : m_noPath;
}

} // namespace tavrin_host
