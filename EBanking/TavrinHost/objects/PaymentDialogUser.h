#pragma once
// Plays the person in front of a bank component's payment details dialog: finds the dialog when
// it opens on the calling thread, types the given values into its fields and presses OK or
// Cancel, all through window messages posted to the dialog and its controls, so the dialog's
// own modal loop handles them as it handles a person's input. Paired with a MessageBoxWatcher
// whose policy is AnswerFor, it also answers the questions the dialog asks.
#include "MessageBoxWatcher.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

namespace tavrin_host {

// What the person types, and how they end the dialog. A value not given is left as the dialog
// shows it.
struct PaymentDialogInput {
    bool dateGiven = false;
    SYSTEMTIME date{};  // the day to pick; the picker keeps its time of day
    bool oinGiven = false;
    std::wstring oin;
    bool saveGiven = false;
    std::wstring save;
    bool cancel = false;  // press Cancel and abandon the transfer instead of OK
    // Type and press nothing: a person at the screen answers; what the dialog held when it
    // closed is still noted.
    bool watchOnly = false;
    // Called once the dialog is on screen, before it is confirmed or cancelled: for what else
    // happens while the person looks at it.
    std::function<void()> whileShown;
};

// The common cases: confirm every value as the dialog shows it; pick the next working day
// after today (one the dialog accepts whatever date the host held) and confirm the rest as
// shown; abandon the transfer.
PaymentDialogInput ConfirmAsShown();
PaymentDialogInput PickNextWorkingDayAndConfirm();
PaymentDialogInput Abandon();

class PaymentDialogUser {
public:
    explicit PaymentDialogUser(PaymentDialogInput input);
    ~PaymentDialogUser();
    PaymentDialogUser(const PaymentDialogUser&) = delete;
    PaymentDialogUser& operator=(const PaymentDialogUser&) = delete;

    // The button to click in a message box: Yes to replacing an existing file and to
    // abandoning the transfer; OK to the error box, after which the dialog is cancelled and the
    // transfer abandoned; for any other box OK, else No (a question answered No has no side
    // effects), else Cancel.
    int AnswerFor(const MessageBoxRecord& box, HWND window);
    // AnswerFor as a MessageBoxWatcher's policy; the watcher must not outlive this user.
    MessageBoxWatcher::Policy Policy();

    // Whether OK ended the last dialog.
    bool LastConfirmed() const { return m_lastConfirmed; }
    // The save field's text when the last dialog closed, whoever closed it.
    const std::wstring& PathAtClose() const { return m_pathAtClose; }
    // True when the date picker refused the day to pick or showed another one after it: the
    // dialog was then cancelled, never confirmed with the day it happened to show.
    bool DateRefused() const { return m_dateRefused; }

    // True for a payment details dialog window.
    static bool IsPaymentDialog(HWND window);

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND window);
    void OnDestroy(HWND window);

    bool PickDate();
    void Type(int controlId, const std::wstring& text);
    void Press(int buttonId);

    PaymentDialogInput m_input;
    HHOOK m_hook = nullptr;
    PaymentDialogUser* m_previous = nullptr;

    HWND m_dialog = nullptr;
    int m_lastPressed = 0;
    bool m_cancelWhenBack = false;
    bool m_lastConfirmed = false;
    bool m_dateRefused = false;
    std::wstring m_pathAtClose;

    // Posted messages point at these; they live as long as the user.
    SYSTEMTIME m_picked{};
    NMDATETIMECHANGE m_dateChange{};
};

} // namespace tavrin_host
