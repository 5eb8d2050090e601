#pragma once
// Answers the payment details dialog for --auto, from outside the component, as a person
// would: through window messages to its controls and to the message boxes it raises.
#include "MessageBoxWatcher.h"
#include "PaymentDialogUser.h"
#include "RunnerOptions.h"

#include <windows.h>

#include <string>

namespace tavrin_host {

class DialogAutomation {
public:
    // With --auto, from now on the dialog that opens on this thread gets --date, --oin and
    // --save typed in (the values it shows are kept for those not given) and is confirmed with
    // OK, or with --cancel abandoned. Without --auto a person answers it; either way what it
    // held when it closed is noted.
    explicit DialogAutomation(const RunnerOptions& options);
    ~DialogAutomation();
    DialogAutomation(const DialogAutomation&) = delete;
    DialogAutomation& operator=(const DialogAutomation&) = delete;

    // How --auto answers a message box, given what the dialog has done so far: see
    // PaymentDialogUser::AnswerFor. Refused values end in abandoning the transfer. Without
    // --auto 0: the box is left to the person at the screen.
    int AnswerFor(const MessageBoxRecord& box, HWND window);
    // The save path field's text when the dialog closed, or empty when none opened.
    const std::wstring& SavePathAtClose() const;
    // True when the dialog's date picker could not take --date: the dialog was then cancelled.
    bool DateRefused() const;

private:
    bool m_automatic;
    PaymentDialogUser m_user;
};

} // namespace tavrin_host
