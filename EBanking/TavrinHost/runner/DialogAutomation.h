#pragma once
// Answers the payment details dialog for --auto, from outside the component, as a person
// would: through window messages to its controls and to the message boxes it raises.
#include "MessageBoxWatcher.h"
#include "RunnerOptions.h"

#include <windows.h>

#include <string>

namespace tavrin_host {

class DialogAutomation {
public:
    explicit DialogAutomation(const RunnerOptions& options);
    ~DialogAutomation();
    DialogAutomation(const DialogAutomation&) = delete;
    DialogAutomation& operator=(const DialogAutomation&) = delete;

    // How --auto answers a message box, given what the dialog has done so far.
    int AnswerFor(const MessageBoxRecord& box, HWND window);
    // The save path in the dialog when it was confirmed, or empty.
    const std::wstring& ConfirmedPath() const { return m_confirmedPath; }

private:
    const RunnerOptions& m_options;
    std::wstring m_confirmedPath;
};

} // namespace tavrin_host
