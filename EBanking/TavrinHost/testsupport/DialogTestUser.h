#pragma once
// Plays the user of the dialogs that the test thread shows modally: a second thread finds the
// test thread's windows by caption and works their controls through window messages, while the
// test thread sits in the dialog's modal loop. Only the test thread's own windows are looked at,
// so tests running side by side on one display do not touch each other's dialogs.
//
// GoogleTest's assertions are not safe on the second thread: a script records what it sees and
// the test checks it once the dialog has closed.
#include <windows.h>

#include <functional>
#include <string>

namespace testsupport {

class DialogTestUser {
public:
    explicit DialogTestUser(DWORD uiThread) : m_uiThread(uiThread) {}

    // The visible dialog window of the test thread with this caption, or null.
    HWND Find(const char* caption) const;
    // As Find, waiting for the window to appear; null when none has appeared within a
    // minute (a guard against a hung test, not a timing).
    HWND WaitForWindow(const char* caption) const;
    // A message box's text, after pressing one of its buttons and waiting until it is gone;
    // a placeholder text naming the caption when no such box appeared.
    std::string AnswerMessageBox(const char* caption, int button) const;

    // A click on one of the dialog's buttons.
    static void Press(HWND dialog, int id);
    // Replaces a field's text at once, as a paste over the whole text does.
    static void SetField(HWND dialog, int id, const std::string& text);
    // Types the text into a field one character at a time, after what is there.
    static void Type(HWND dialog, int id, const std::string& text);
    static std::string TextOf(HWND window);
    static void WaitUntilGone(HWND window);

private:
    DWORD m_uiThread;
};

// Runs `showModal`, which shows a dialog with `caption` modally on the calling thread, while
// `play` acts as the user on a second thread. A dialog the script leaves open is cancelled and
// the abandon question answered, so a failing test ends instead of hanging.
void RunWithUser(const char* caption, const std::function<void()>& showModal,
                 std::function<void(DialogTestUser& user, HWND dialog)> play);

} // namespace testsupport
