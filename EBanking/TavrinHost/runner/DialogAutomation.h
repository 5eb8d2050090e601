#pragma once
// Answers the payment details dialog for --auto, from outside the component, as a person
// would: through window messages to its controls and to the message boxes it raises.
#include "MessageBoxWatcher.h"
#include "PaymentDialogUser.h"
#include "RunnerOptions.h"

#include <windows.h>

#include <memory>
#include <string>

namespace tavrin_host {

class DialogAutomation {
public:
    // With --auto, from now on the dialog that opens on this thread gets --date, --oin and
    // --save typed in (the values it shows are kept for those not given) and is confirmed with
    // OK, or with --cancel abandoned. Without --auto it does nothing: a person answers.
    explicit DialogAutomation(const RunnerOptions& options);
    ~DialogAutomation();
    DialogAutomation(const DialogAutomation&) = delete;
    DialogAutomation& operator=(const DialogAutomation&) = delete;

    // How --auto answers a message box, given what the dialog has done so far: see
    // PaymentDialogUser::AnswerFor. Refused values end in abandoning the transfer. Without
    // --auto 0: the box is left to the person at the screen.
    int AnswerFor(const MessageBoxRecord& box, HWND window);
    // The save path in the dialog when it was confirmed, or empty.
    const std::wstring& ConfirmedPath() const;

private:
    std::unique_ptr<PaymentDialogUser> m_user;
    std::wstring m_noPath;
};

} // namespace tavrin_host
