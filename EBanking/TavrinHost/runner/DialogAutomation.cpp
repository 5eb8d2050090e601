#include "DialogAutomation.h"

namespace tavrin_host {

DialogAutomation::DialogAutomation(const RunnerOptions& options) : m_options(options) {}

DialogAutomation::~DialogAutomation() = default;

int DialogAutomation::AnswerFor(const MessageBoxRecord&, HWND window)
{
    if (GetDlgItem(window, IDOK)) return IDOK;
    if (GetDlgItem(window, IDYES)) return IDYES;
    return IDCANCEL;
}

} // namespace tavrin_host
