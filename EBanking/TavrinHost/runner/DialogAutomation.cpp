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
    // A file at the path the run proposed is another run's, made in the same second: only a
    // file the user named is replaced.
    input.replaceExisting = options.saveGiven;
    input.watchOnly = !options.automatic;
    return input;
}

} // namespace

DialogAutomation::DialogAutomation(const RunnerOptions& options)
    : m_automatic(options.automatic), m_user(DialogInputFrom(options))
{
}

DialogAutomation::~DialogAutomation() = default;

int DialogAutomation::AnswerFor(const MessageBoxRecord& box, HWND window)
{
    return m_automatic ? m_user.AnswerFor(box, window) : 0;
}

const std::wstring& DialogAutomation::SavePathAtClose() const { return m_user.PathAtClose(); }

bool DialogAutomation::DateRefused() const { return m_user.DateRefused(); }

} // namespace tavrin_host
