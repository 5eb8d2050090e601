#include "DialogAutomation.h"

namespace tavrin_host {
namespace {

// What the options have the user type into the dialog.
PaymentDialogInput DialogInputFrom(const RunnerOptions& options)
{
    PaymentDialogInput input;
    input.dateGiven = options.dateGiven;
    input.date.wYear = static_cast<WORD>(options.date.year);
    input.date.wMonth = static_cast<WORD>(options.date.month);
    input.date.wDay = static_cast<WORD>(options.date.day);
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
    return m_user ? m_user->AnswerFor(box, window) : 0;
}

const std::wstring& DialogAutomation::ConfirmedPath() const
{
    return m_user ? m_user->ConfirmedPath() : m_noPath;
}

} // namespace tavrin_host
