#pragma once
// Plays the person in front of a bank component's payment details dialog: finds the dialog when
// it opens on the calling thread, types the given values into its fields and presses OK or
// Cancel, all through window messages posted to the dialog and its controls, so the dialog's
// own modal loop handles them as it handles a person's input. Paired with a MessageBoxWatcher
// whose policy is AnswerFor, it also answers the questions the dialog asks.
//
// Or, for tests that look at each step, it plays a script: on a second thread, while the
// calling thread sits in the dialog's modal loop, the script works the controls, reads them and
// answers the boxes the dialog raises. Only the calling thread's windows are looked at, so runs
// side by side on one display do not touch each other's dialogs.
#include "MessageBoxWatcher.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

namespace tavrin_host {

class PaymentDialogUser;
// Plays the person on its own thread, given the dialog once it is on screen. Not the place for
// a test's assertions: it records what it sees for the test to check once the dialog closed.
using PaymentDialogScript = std::function<void(PaymentDialogUser& user, HWND dialog)>;

// What the person types, and how they end the dialog. A value not given is left as the dialog
// shows it.
struct PaymentDialogInput {
    bool dateGiven = false;
    SYSTEMTIME date{}; // the day to pick; the picker keeps its time of day
    bool oinGiven = false;
    std::wstring oin;
    bool saveGiven = false;
    std::wstring save;
    bool cancel = false; // press Cancel and abandon the transfer instead of OK
    // Yes to replacing a file that already stands at the save path; otherwise No, and the
    // transfer is abandoned rather than another's file destroyed.
    bool replaceExisting = true;
    // Type and press nothing: a person at the screen answers; what the dialog held when it
    // closed is still noted.
    bool watchOnly = false;
    // Called once the dialog is on screen, before it is confirmed or cancelled: for what else
    // happens while the person looks at it.
    std::function<void()> whileShown;
    // Instead of all of the above: the script plays the person. A dialog it leaves open is
    // cancelled and the abandon question answered, so a failing test ends instead of hanging.
    PaymentDialogScript script;
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

    // For scripts, on their own thread. The visible dialog window of the dialog's thread with
    // this caption, or null.
    HWND Find(const char* caption) const;
    // As Find, waiting for the window to appear; null when none has appeared within a minute
    // (a guard against a hung test, not a timing).
    HWND WaitForWindow(const char* caption) const;
    // A message box's text, after pressing one of its buttons and waiting until it is gone; a
    // placeholder text naming the caption when no such box appeared.
    std::string AnswerMessageBox(const char* caption, int button) const;

    // A click on one of a dialog's buttons.
    static void Press(HWND dialog, int id);
    // Replaces a field's text at once, as a paste over the whole text does.
    static void SetField(HWND dialog, int id, const std::string& text);
    static void SetField(HWND dialog, int id, const std::wstring& text);
    // Types the text into a field one character at a time, after what is there.
    static void Type(HWND dialog, int id, const std::string& text);
    static std::string TextOf(HWND window);
    static void WaitUntilGone(HWND window);

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND window);
    void OnDestroy(HWND window);

    bool PickDate();
    void TypeOver(int controlId, const std::wstring& text);
    void Press(int buttonId);

    static DWORD WINAPI PlayScript(void* user);
    void CloseIfStillOpen(HWND dialog) const;
    void WaitForScript();

    PaymentDialogInput m_input;
    DWORD m_thread;
    HHOOK m_hook = nullptr;
    HANDLE m_script = nullptr;
    HWND m_scriptDialog = nullptr;
    PaymentDialogUser* m_previous = nullptr;

    HWND m_dialog = nullptr;
    int m_lastPressed = 0;
    HWND m_cancelAfterBox = nullptr; // the message box after which the dialog is cancelled
    bool m_lastConfirmed = false;
    bool m_dateRefused = false;
    std::wstring m_pathAtClose;

    // Posted messages point at these; they live as long as the user.
    SYSTEMTIME m_picked{};
    NMDATETIMECHANGE m_dateChange{};
};

// Runs `showModal`, which shows the payment details dialog modally on the calling thread, while
// `play` acts as the person on a second thread.
void RunWithUser(const std::function<void()>& showModal, PaymentDialogScript play);

} // namespace tavrin_host
